#include "store/xbase/Expression.h"
#include "support/xbase/TaskFields.h"

#include <QtTest>

#include <optional>
#include <string>
#include <vector>

using namespace quorvo::xbase;

namespace {

QByteArray padded(QByteArray text, int width)
{
    text.truncate(width);
    return text.leftJustified(width, ' ');
}

QByteArray taskRecord(const QByteArray& date, const QByteArray& time, const QByteArray& descript, char done,
                      const QByteArray& keys, const QByteArray& priority, bool deleted = false)
{
    return QByteArray(1, deleted ? '*' : ' ') + padded(date, 8) + padded(time, 5) + padded(descript, 50) +
           padded("", 10) + QByteArray(1, done) + padded(keys, 60) + padded(priority, 1);
}

const QByteArray kOpen = taskRecord("20240105", "09:30", "Buy milk", ' ', "home Work", "A");
const QByteArray kDone = taskRecord("20231231", "", "Write report", 'T', "WORK", "b", true);

std::optional<Expression> compiled(const QByteArray& source, std::span<const FieldInfo> fields)
{
    auto expression = Expression::compile(source.toStdString(), fields);
    if (!expression) {
        qWarning("%s does not compile: %s", source.constData(), expression.error().message.c_str());
        return std::nullopt;
    }
    return std::move(expression).value();
}

QByteArray textOf(const Expression& expression, const QByteArray& record)
{
    std::string out = "left over from an earlier call";
    expression.evaluateText(record.toStdString(), out);
    return QByteArray::fromStdString(out);
}

} // namespace

class TestExpression : public QObject
{
    Q_OBJECT

private slots:
    void conditions_data();
    void conditions();
    void comparisonRule_data();
    void comparisonRule();
    void textValues_data();
    void textValues();
    void keyWidths_data();
    void keyWidths();
    void keywordLikeFieldNames_data();
    void keywordLikeFieldNames();
    void errors_data();
    void errors();
    void shortRecordsReadAsBlanks_data();
    void shortRecordsReadAsBlanks();
    void movedFromExpressionStillEvaluates();
};

void TestExpression::conditions_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("expected");

    const QByteArray blankDone = taskRecord("", "", "", ' ', "", "");
    for (char byte : {'T', 't', 'Y', 'y'})
        QTest::addRow("logical field %c is true", byte)
            << QByteArray("DONE") << taskRecord("", "", "", byte, "", "") << true;
    for (char byte : {'F', 'f', 'N', 'n', ' ', '?', '\0'})
        QTest::addRow("logical field 0x%02x is false", byte)
            << QByteArray("DONE") << taskRecord("", "", "", byte, "", "") << false;
    QTest::newRow("field names in any case") << QByteArray("done .and. Done") << kDone << true;

    for (const char* spelling : {".not. DONE", ".NOT.DONE", ".Not. DONE", "not DONE", "NOT DONE", "Not DONE", "!DONE",
                                 "! DONE", "not(DONE)", "NOT (DONE)"}) {
        QTest::addRow("%s on an open task", spelling) << QByteArray(spelling) << kOpen << true;
        QTest::addRow("%s on a done task", spelling) << QByteArray(spelling) << kDone << false;
    }
    for (const char* spelling : {".and.", ".AND.", ".And.", "and", "AND", "And"}) {
        QTest::addRow("T %s T", spelling) << QByteArray(".T. ") + spelling + " DONE" << kDone << true;
        QTest::addRow("T %s F", spelling) << QByteArray(".T. ") + spelling + " DONE" << kOpen << false;
    }
    for (const char* spelling : {".or.", ".OR.", ".Or.", "or", "OR"}) {
        QTest::addRow("F %s T", spelling) << QByteArray(".F. ") + spelling + " DONE" << kDone << true;
        QTest::addRow("F %s F", spelling) << QByteArray(".F. ") + spelling + " DONE" << kOpen << false;
    }
    QTest::newRow(".T.") << QByteArray(".T.") << kOpen << true;
    QTest::newRow(".t.") << QByteArray(".t.") << kOpen << true;
    QTest::newRow(".F.") << QByteArray(".F.") << kOpen << false;
    QTest::newRow(".f.") << QByteArray(".f.") << kOpen << false;
    QTest::newRow("Deleted() on a deleted record") << QByteArray("Deleted()") << kDone << true;
    QTest::newRow("DELETED() on a live record") << QByteArray("DELETED()") << kOpen << false;
    QTest::newRow("Deleted() only knows '*'") << QByteArray("Deleted()") << QByteArray("D") + kOpen.mid(1) << false;
    QTest::newRow("not deleted ( ) on a deleted record") << QByteArray("not deleted ( )") << kDone << false;
    QTest::newRow("a chain of .and. with one false") << QByteArray(".T. .and. DONE .and. .T.") << kOpen << false;
    QTest::newRow("a chain of .or. with one true") << QByteArray(".F. .or. .F. .or. DONE") << kDone << true;

    // Each pair reads differently under the wrong precedence.
    QTest::newRow(".and. before .or. (right)") << QByteArray(".T. .or. .T. .and. .F.") << kOpen << true;
    QTest::newRow(".and. before .or. (left)") << QByteArray(".F. .and. .F. .or. .T.") << kOpen << true;
    QTest::newRow(".not. before .or.") << QByteArray(".not. .T. .or. .T.") << kOpen << true;
    QTest::newRow(".not. before .and.") << QByteArray(".not. .F. .and. .F.") << kOpen << false;
    QTest::newRow("comparison before .not.") << QByteArray("!PRIORITY = \"A\"") << kOpen << false;
    QTest::newRow("comparison before .and.") << QByteArray("PRIORITY = \"A\" .and. DATE = \"2024\"") << kOpen << true;
    QTest::newRow("+ before =") << QByteArray("DATE + TIME = \"2024010509:30\"") << kOpen << true;
    QTest::newRow("+ before $") << QByteArray("PRIORITY + \"x\" $ \"Ax\"") << kOpen << true;
    QTest::newRow("parentheses first") << QByteArray("(.T. .or. .T.) .and. .F.") << kOpen << false;
    QTest::newRow("not not") << QByteArray("not not DONE") << kDone << true;
    QByteArray manyTerms = "(!DONE)";
    for (int i = 0; i < 70; ++i)
        manyTerms += " .and. (!DONE)";
    QTest::newRow("many terms side by side are not deep") << manyTerms << kOpen << true;
    QTest::newRow("64 levels of parentheses") << QByteArray(64, '(') + "DONE" + QByteArray(64, ')') << kDone << true;

    QTest::newRow("date on the day") << QByteArray("DATE >= \"20240105\"") << kOpen << true;
    QTest::newRow("date before the day") << QByteArray("DATE >= \"20240106\"") << kOpen << false;
    QTest::newRow("date up to the day") << QByteArray("DATE <= \"20240105\"") << kOpen << true;
    QTest::newRow("date up to the day before") << QByteArray("DATE <= \"20240104\"") << kOpen << false;
    QTest::newRow("date in a year") << QByteArray("DATE = \"2024\"") << kOpen << true;
    QTest::newRow("empty date") << QByteArray("DATE = \"        \"") << blankDone << true;
    QTest::newRow("empty date is before any day") << QByteArray("DATE < \"20000101\"") << blankDone << true;
    QTest::newRow("field starts with constant") << QByteArray("DESCRIPT = \"Buy\"") << kOpen << true;
    QTest::newRow("comparisons keep case") << QByteArray("DESCRIPT = \"buy\"") << kOpen << false;
    QTest::newRow("upper() on the left") << QByteArray("upper(DESCRIPT) = \"BUY MILK\"") << kOpen << true;
    QTest::newRow("field shorter than constant") << QByteArray("PRIORITY = \"AB\"") << kOpen << false;
    QTest::newRow("== pads the constant") << QByteArray("DESCRIPT == \"Buy milk\"") << kOpen << true;
    QTest::newRow("== is not a prefix test") << QByteArray("DESCRIPT == \"Buy\"") << kOpen << false;
    QTest::newRow("<> on a prefix") << QByteArray("DATE <> \"2023\"") << kOpen << true;
    QTest::newRow("# on a prefix") << QByteArray("DATE # \"2024\"") << kOpen << false;
    QTest::newRow("!= on a prefix") << QByteArray("DATE != \"2024\"") << kOpen << false;

    QTest::newRow("$ after upper()") << QByteArray("\"WORK\" $ upper(KEYS)") << kOpen << true;
    QTest::newRow("$ keeps case") << QByteArray("\"work\" $ KEYS") << kDone << false;
    QTest::newRow("$ with an empty left text") << QByteArray("\"\" $ KEYS") << kOpen << true;
    QTest::newRow("$ with both empty") << QByteArray("\"\" $ \"\"") << kOpen << true;
    QTest::newRow("$ with the field on the left") << QByteArray("KEYS $ \"WORK\"") << kDone << false;
    QTest::newRow("$ of a blank") << QByteArray("\" \" $ PRIORITY") << taskRecord("", "", "", ' ', "", "") << true;
    QTest::newRow("upper() leaves Windows-1252 letters")
        << QByteArray("\"\xC9T\xC9\" $ upper(KEYS)") << taskRecord("", "", "", ' ', "\xE9t\xE9", "") << false;
    QTest::newRow("upper() of a-z beside Windows-1252 letters")
        << QByteArray("\"\xE9T\xE9\" $ upper(KEYS)") << taskRecord("", "", "", ' ', "\xE9t\xE9", "") << true;

    QTest::newRow("single quotes") << QByteArray("PRIORITY = 'A'") << kOpen << true;
    QTest::newRow("brackets") << QByteArray("PRIORITY = [A]") << kOpen << true;
    QTest::newRow("quotes inside other delimiters") << QByteArray("'\"' $ [a\"b] .and. \"'\" $ \"'\"") << kOpen << true;
    QTest::newRow("the key words filter on an open task")
        << QByteArray("(.not.DONE) .and. \"WORK\" $ upper(KEYS)") << kOpen << true;
    QTest::newRow("the key words filter on a done task")
        << QByteArray("(.not.DONE) .and. \"WORK\" $ upper(KEYS)") << kDone << false;
    QTest::newRow("whitespace anywhere") << QByteArray(" \t( .not.\r\nDONE )and\"WORK\"$upper (  KEYS\t) ") << kOpen
                                         << true;
}

void TestExpression::conditions()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, record);
    QFETCH(bool, expected);

    const auto fields = test::laidOutTaskFields();
    const auto expression = compiled(source, fields);
    QVERIFY(expression);
    QCOMPARE(expression->type(), Expression::Type::Logical);
    QCOMPARE(expression->evaluateLogical(record.toStdString()), expected);
    QCOMPARE(textOf(*expression, record), QByteArray(expected ? "T" : "F"));
}

void TestExpression::comparisonRule_data()
{
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<QByteArray>("op");
    QTest::addColumn<QByteArray>("right");
    QTest::addColumn<bool>("expected");

    struct Case
    {
        const char* left;
        const char* op;
        const char* right;
        bool expected;
    };
    const Case cases[] = {
        {"abc", "=", "abc", true},   {"abc", "=", "ab", true},     {"ab", "=", "abc", false},
        {"abc", "=", "", true},      {"", "=", "abc", false},      {"", "=", "", true},
        {"ab", "=", "ab ", false},   {"ab ", "=", "ab", true},     {"abd", "=", "abc", false},
        {"ab", "<", "abc", true},    {"abc", "<", "ab", false},    {"abc", "<", "abd", true},
        {"ab", "<=", "abc", true},   {"ab", ">=", "abc", false},   {"abd", ">", "abc", true},
        {"abc", ">", "ab", false},   {"abc", "<", "", false},      {"abc", ">", "", false},
        {"abc", "<=", "", true},     {"abc", ">=", "", true},      {"\xE9", ">", "z", true},
        {"z", "<", "\xE9", true},    {"\x80", ">=", "\x7F", true}, {"abc", "<>", "ab", false},
        {"ab", "<>", "abc", true},   {"ab", "#", "abc", true},     {"abc", "!=", "abc", false},
        {"ab", "==", "ab ", true},   {"ab ", "==", "ab", true},    {"ab", "==", "abc", false},
        {"abc", "==", "ab", false},  {"", "==", "   ", true},      {"", "==", "a", false},
        {"ab\t", "==", "ab", false}, {"a", "==", "b", false},      {"\xE9", "==", "\xE9", true},
    };
    for (const Case& c : cases) {
        QTest::addRow("\"%s\" %s \"%s\"", c.left, c.op, c.right)
            << QByteArray(c.left) << QByteArray(c.op) << QByteArray(c.right) << c.expected;
    }
}

void TestExpression::comparisonRule()
{
    QFETCH(QByteArray, left);
    QFETCH(QByteArray, op);
    QFETCH(QByteArray, right);
    QFETCH(bool, expected);

    const auto expression = compiled("\"" + left + "\" " + op + " \"" + right + "\"", {});
    QVERIFY(expression);
    QCOMPARE(expression->evaluateLogical(""), expected);
}

void TestExpression::textValues_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("DATE+TIME") << QByteArray("DATE+TIME") << kOpen << QByteArray("2024010509:30");
    QTest::newRow("+ keeps trailing blanks") << QByteArray("TIME + PRIORITY") << kDone << QByteArray("     b");
    QTest::newRow("upper(PRIORITY)+DATE+TIME")
        << QByteArray("upper(PRIORITY)+DATE+TIME") << kDone << QByteArray("B20231231     ");
    QTest::newRow("upper(DESCRIPT)") << QByteArray("UPPER(DESCRIPT)") << kOpen << padded("BUY MILK", 50);
    QTest::newRow("upper() changes a-z only")
        << QByteArray("Upper(KEYS)") << taskRecord("", "", "", ' ', "az`{@[AZ\xE9\xFF\x9A\xE0", "")
        << padded("AZ`{@[AZ\xE9\xFF\x9A\xE0", 60);
    QTest::newRow("upper() of upper()") << QByteArray("upper(upper(KEYS + \"x\"))") << kDone
                                        << padded("WORK", 60) + "X";
    QTest::newRow("upper() of a joined text") << QByteArray("upper(PRIORITY + TIME)") << kDone << QByteArray("B     ");
    QTest::newRow("constants in every quoting")
        << QByteArray("'ab' + [c] + \"d\" + \"\"") << kOpen << QByteArray("abcd");
    QTest::newRow("two fields joined") << QByteArray("PRIORITY + DATE") << kOpen << QByteArray("A20240105");
    QTest::newRow("a logical key") << QByteArray("DONE") << kDone << QByteArray("T");
    QTest::newRow("a blank logical key") << QByteArray("DONE") << kOpen << QByteArray("F");
}

void TestExpression::textValues()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, expected);

    const auto fields = test::laidOutTaskFields();
    const auto expression = compiled(source, fields);
    QVERIFY(expression);
    QCOMPARE(textOf(*expression, record), expected);
    QCOMPARE(expression->width(), std::size_t(expected.size()));
}

void TestExpression::keyWidths_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<bool>("logical");
    QTest::addColumn<int>("width");

    QTest::newRow("DATE+TIME") << QByteArray("DATE+TIME") << false << 13;
    QTest::newRow("upper(DESCRIPT)") << QByteArray("upper(DESCRIPT)") << false << 50;
    QTest::newRow("DONE") << QByteArray("DONE") << true << 1;
    QTest::newRow("upper(KEYS)") << QByteArray("upper(KEYS)") << false << 60;
    QTest::newRow("upper(PRIORITY)+DATE+TIME") << QByteArray("upper(PRIORITY)+DATE+TIME") << false << 14;
    QTest::newRow("not Deleted()") << QByteArray("not Deleted()") << true << 1;
    QTest::newRow("empty constant") << QByteArray("\"\"") << false << 0;
    QTest::newRow("DESCRIPT+KEYS+'abc'") << QByteArray("DESCRIPT+KEYS+'abc'") << false << 113;
}

void TestExpression::keyWidths()
{
    QFETCH(QByteArray, source);
    QFETCH(bool, logical);
    QFETCH(int, width);

    const auto fields = test::laidOutTaskFields();
    const auto expression = compiled(source, fields);
    QVERIFY(expression);
    QCOMPARE(expression->type(), logical ? Expression::Type::Logical : Expression::Type::Text);
    QCOMPARE(expression->width(), std::size_t(width));
    QCOMPARE(QByteArray::fromStdString(expression->source()), source);
}

void TestExpression::keywordLikeFieldNames_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<bool>("expected");

    // Record: ANDY "xy", ORDER "ab", NOT 'T', AND 'F', OR 'T', NOTED 'T'.
    QTest::newRow("ANDY") << QByteArray("ANDY = 'xy'") << true;
    QTest::newRow("ORDER") << QByteArray("ORDER = 'ab' and ANDY = 'xy'") << true;
    QTest::newRow("NOTED") << QByteArray("not NOTED") << false;
    QTest::newRow("a field named NOT alone") << QByteArray("NOT") << true;
    QTest::newRow("not NOT") << QByteArray("not NOT") << false;
    QTest::newRow("NOT and NOT") << QByteArray("NOT and NOT") << true;
    QTest::newRow("AND and OR") << QByteArray("AND and OR") << false;
    QTest::newRow("AND or OR") << QByteArray("AND or OR") << true;
    QTest::newRow("not (AND)") << QByteArray("not (AND)") << true;
    QTest::newRow("NOT or AND") << QByteArray("NOT or AND") << true;
}

void TestExpression::keywordLikeFieldNames()
{
    QFETCH(QByteArray, source);
    QFETCH(bool, expected);

    const std::vector<FieldInfo> fields = {
        {"ANDY", 'C', 1, 2}, {"ORDER", 'C', 3, 2}, {"NOT", 'L', 5, 1},
        {"AND", 'L', 6, 1},  {"OR", 'L', 7, 1},    {"NOTED", 'L', 8, 1},
    };
    const auto expression = compiled(source, fields);
    QVERIFY(expression);
    QCOMPARE(expression->evaluateLogical(" xyabTFTT"), expected);
}

void TestExpression::errors_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty") << QByteArray("") << "syntax error at position 1: empty expression";
    QTest::newRow("blank") << QByteArray("   ") << "syntax error at position 4: empty expression";
    QTest::newRow("unterminated string") << QByteArray("DESCRIPT = \"abc")
                                         << "syntax error at position 12: unterminated string";
    QTest::newRow("unterminated bracket") << QByteArray("[abc") << "syntax error at position 1: unterminated string";
    QTest::newRow("unterminated string where ')' is due")
        << QByteArray("(DONE 'abc") << "syntax error at position 7: unterminated string";
    QTest::newRow("missing ) of upper()") << QByteArray("upper(KEYS") << "syntax error at position 11: expected ')'";
    QTest::newRow("missing ) before more")
        << QByteArray("upper(KEYS DONE") << "syntax error at position 12: expected ')'";
    QTest::newRow("missing )") << QByteArray("(DONE .and. .T.") << "syntax error at position 16: expected ')'";
    QTest::newRow("argument to deleted()") << QByteArray("deleted(DONE)") << "syntax error at position 9: expected ')'";
    QTest::newRow("unknown field") << QByteArray("FOO = \"x\"") << "unknown field at position 1: FOO";
    QTest::newRow("unknown field later") << QByteArray("DONE .and. bar") << "unknown field at position 12: bar";
    QTest::newRow("bare not alone is a field") << QByteArray("not") << "unknown field at position 1: not";
    QTest::newRow("unknown function") << QByteArray("lower(KEYS)") << "unknown function at position 1: lower()";
    QTest::newRow("memo field") << QByteArray("NOTE $ \"x\"")
                                << "memo field at position 1: NOTE cannot be used in an expression";
    QTest::newRow("memo field after and")
        << QByteArray("DONE and NOTE = \"x\"") << "memo field at position 10: NOTE cannot be used in an expression";
    QTest::newRow("trailing field") << QByteArray("DONE DONE") << "syntax error at position 6: unexpected 'DONE'";
    QTest::newRow("trailing )") << QByteArray("DONE )") << "syntax error at position 6: unexpected ')'";
    QTest::newRow("trailing bare word") << QByteArray("DONE andy") << "syntax error at position 6: unexpected 'andy'";
    QTest::newRow("missing right operand")
        << QByteArray("DONE .and.") << "syntax error at position 11: unexpected end of expression";
    QTest::newRow("missing left operand")
        << QByteArray(".and. DONE") << "syntax error at position 1: unexpected '.and.'";
    QTest::newRow("number") << QByteArray("DATE = 2024") << "syntax error at position 8: unexpected '2024'";
    QTest::newRow("unknown dot word") << QByteArray("DONE .xor. DONE")
                                      << "syntax error at position 6: unexpected '.xor.'";
    QTest::newRow("unfinished .T.") << QByteArray(".T") << "syntax error at position 1: unexpected '.'";
    QTest::newRow("unknown character") << QByteArray("DONE & DONE") << "syntax error at position 6: unexpected '&'";
    QTest::newRow("control character") << QByteArray("DONE\x01")
                                       << "syntax error at position 5: unexpected character 0x01";
    QTest::newRow("too deeply nested") << QByteArray(65, '(') + "DONE" + QByteArray(65, ')')
                                       << "syntax error at position 65: nested too deeply";
    QTest::newRow("too long a source") << QByteArray(1 << 20, ' ') + "DONE"
                                       << "syntax error at position 1048577: expression too long";
    QByteArray tooWide = "KEYS";
    for (int i = 0; i < 17476; ++i) // the 17 477th KEYS passes 1 MiB; its + is at 5 * 17 476
        tooWide += "+KEYS";
    QTest::newRow("too wide a text") << tooWide << "text too long at position 87380: more than 1048576 bytes";
    QTest::newRow("text + logical") << QByteArray("DATE + DONE")
                                    << "type mismatch at position 6: '+' needs text on both sides";
    QTest::newRow("logical + text") << QByteArray("DONE + DATE")
                                    << "type mismatch at position 6: '+' needs text on both sides";
    QTest::newRow("comparing a logical") << QByteArray("DONE = .T.")
                                         << "type mismatch at position 6: '=' needs text on both sides";
    QTest::newRow("comparing with a logical")
        << QByteArray("DATE >= DONE") << "type mismatch at position 6: '>=' needs text on both sides";
    QTest::newRow("chained comparison") << QByteArray("DATE = \"x\" = \"y\"")
                                        << "type mismatch at position 12: '=' needs text on both sides";
    QTest::newRow("$ in a logical") << QByteArray("\"a\" $ DONE")
                                    << "type mismatch at position 5: '$' needs text on both sides";
    QTest::newRow(".and. on text") << QByteArray("DATE .and. DONE")
                                   << "type mismatch at position 6: '.and.' needs logical operands";
    QTest::newRow("and on text later") << QByteArray("DONE and DONE and KEYS")
                                       << "type mismatch at position 15: 'and' needs logical operands";
    QTest::newRow("or on text") << QByteArray("DONE or KEYS")
                                << "type mismatch at position 6: 'or' needs logical operands";
    QTest::newRow("! on text") << QByteArray("!DATE") << "type mismatch at position 1: '!' needs a logical operand";
    QTest::newRow("upper() of a logical")
        << QByteArray("upper(DONE)") << "type mismatch at position 1: 'upper' needs a text argument";
}

void TestExpression::errors()
{
    QFETCH(QByteArray, source);
    QFETCH(QString, message);

    const auto fields = test::laidOutTaskFields();
    const auto expression = Expression::compile(source.toStdString(), fields);
    QVERIFY(!expression.ok());
    QCOMPARE(expression.error().code, ErrorCode::BadExpression);
    QCOMPARE(QString::fromStdString(expression.error().message), message);
}

void TestExpression::shortRecordsReadAsBlanks_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty record") << QByteArray("DATE+TIME") << QByteArray() << QByteArray(13, ' ');
    QTest::newRow("record ends inside a field")
        << QByteArray("DATE+TIME") << QByteArray(" 2024") << QByteArray("2024         ");
    QTest::newRow("logical past the end") << QByteArray("DONE") << kDone.left(70) << QByteArray("F");
    QTest::newRow("deleted flag alone") << QByteArray("Deleted()") << QByteArray("*") << QByteArray("T");
    QTest::newRow("comparison past the end") << QByteArray("upper(KEYS) = ' '") << QByteArray(" ") << QByteArray("T");
}

void TestExpression::shortRecordsReadAsBlanks()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, expected);

    const auto fields = test::laidOutTaskFields();
    const auto expression = compiled(source, fields);
    QVERIFY(expression);
    QCOMPARE(textOf(*expression, record), expected);
}

void TestExpression::movedFromExpressionStillEvaluates()
{
    const auto fields = test::laidOutTaskFields();
    auto compiledOnce = compiled("upper(PRIORITY)+DATE+TIME", fields);
    QVERIFY(compiledOnce);
    Expression& expression = *compiledOnce;
    const Expression moved = std::move(expression);
    QCOMPARE(textOf(expression, kOpen), QByteArray("A2024010509:30"));
    QCOMPARE(textOf(moved, kOpen), QByteArray("A2024010509:30"));
}

QTEST_APPLESS_MAIN(TestExpression)
#include "TestExpression.moc"
