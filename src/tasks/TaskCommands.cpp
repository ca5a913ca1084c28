#include "tasks/TaskCommands.h"

#include "datetime/DateFormats.h"
#include "datetime/StoredForms.h"
#include "store/TaskRecord.h"
#include "store/TodoTable.h"
#include "store/Windows1252.h"
#include "tasks/KeyWordList.h"

namespace quorvo {

namespace {

constexpr int kKeepAliveEvery = 512;

xbase::Error noCurrentTask()
{
    return {xbase::ErrorCode::BadState, "there is no current task"};
}

} // namespace

TaskCommands::TaskCommands(TodoTable& table, KeyWordList& keyWords) : m_table(table), m_keyWords(keyWords) {}

xbase::Result<TaskValues> TaskCommands::current()
{
    if (!m_table.isOpen() || m_table.engine().eof())
        return noCurrentTask();
    xbase::Table& engine = m_table.engine();
    QV_TRY(engine.post());
    auto note = m_table.note();
    if (!note)
        return note.error();
    TaskValues values;
    values.descript = m_table.text(TaskField::DESCRIPT);
    values.keys = m_table.text(TaskField::KEYS);
    values.note = *note;
    values.date = m_table.text(TaskField::DATE);
    values.time = m_table.text(TaskField::TIME);
    values.priority = m_table.text(TaskField::PRIORITY);
    values.done = engine.getLogical(TaskField::DONE);
    return values;
}

template <typename SetFields> xbase::Status TaskCommands::change(SetFields&& setFields)
{
    if (!m_table.isOpen())
        return noCurrentTask();
    xbase::Table& engine = m_table.engine();
    // Whatever the grid or the notes left pending is its own change, not part of this one.
    QV_TRY(engine.post());
    if (engine.eof())
        return noCurrentTask();
    xbase::Status status = setFields(engine);
    if (status)
        status = engine.post();
    if (!status)
        engine.cancel();
    return status;
}

xbase::Status TaskCommands::writeAll(const TaskValues& values)
{
    xbase::Table& engine = m_table.engine();
    QV_TRY(m_table.setText(TaskField::DESCRIPT, values.descript));
    QV_TRY(m_table.setText(TaskField::KEYS, values.keys));
    QV_TRY(m_table.setNote(values.note));
    QV_TRY(m_table.setText(TaskField::DATE, values.date));
    QV_TRY(m_table.setText(TaskField::TIME, values.time));
    QV_TRY(m_table.setText(TaskField::PRIORITY, values.priority));
    return engine.replaceLogical(TaskField::DONE, values.done);
}

void TaskCommands::addKeyWordsOfCurrent()
{
    m_keyWords.breakStringIntoWords(m_table.text(TaskField::KEYS));
}

void TaskCommands::addKeyWords(std::string_view stored)
{
    while (!stored.empty() && (stored.back() == ' ' || stored.back() == '\0'))
        stored.remove_suffix(1);
    m_keyWords.breakStringIntoWords(Windows1252::toUnicode(stored));
}

xbase::Status TaskCommands::edit(const TaskValues& values)
{
    QV_TRY(change([&](xbase::Table&) { return writeAll(values); }));
    addKeyWordsOfCurrent();
    return {};
}

xbase::Status TaskCommands::add(const TaskValues& values)
{
    if (!m_table.isOpen())
        return noCurrentTask();
    xbase::Table& engine = m_table.engine();
    QV_TRY(engine.post());
    const std::uint32_t before = engine.eof() ? 0 : engine.recNo();
    xbase::Status status = engine.appendBlank();
    if (status)
        status = writeAll(values);
    if (status)
        status = engine.post();
    if (!status) {
        engine.cancel();
        // No task was added; the one the user stood on is current again.
        (void)engine.go(before);
        return status;
    }
    addKeyWordsOfCurrent();
    return {};
}

xbase::Status TaskCommands::cloneCurrent()
{
    auto values = current();
    if (!values)
        return values.error();
    values->done = false;
    return add(*values);
}

xbase::Status TaskCommands::deleteCurrent()
{
    if (!m_table.isOpen())
        return noCurrentTask();
    xbase::Table& engine = m_table.engine();
    QV_TRY(engine.post());
    if (engine.eof())
        return noCurrentTask();
    const std::uint32_t task = engine.recNo();
    // A failed step to the next task only means the view's end follows the deletion.
    // Record order steps onto deleted tasks as well; the next one is the next live task.
    std::uint32_t next = 0;
    while (engine.skip(1) && !engine.eof()) {
        if (!engine.deleted()) {
            next = engine.recNo();
            break;
        }
    }
    QV_TRY(engine.go(task));
    xbase::Status status = engine.setDeleted(true);
    if (status)
        status = engine.post();
    if (!status) {
        engine.cancel();
        return status;
    }
    (void)engine.go(next);
    return {};
}

xbase::Status TaskCommands::toggleDone()
{
    m_table.setCalcSuspended(true);
    const xbase::Status status = change([](xbase::Table& engine) -> xbase::Status {
        // The flag as stored now, not as it was read when the task was shown.
        QV_TRY(engine.skip(0));
        return engine.replaceLogical(TaskField::DONE, !engine.getLogical(TaskField::DONE));
    });
    m_table.setCalcSuspended(false);
    return status;
}

xbase::Status TaskCommands::setDate(const QString& stored)
{
    return change([&](xbase::Table&) { return m_table.setText(TaskField::DATE, stored); });
}

xbase::Status TaskCommands::setTime(const QString& stored)
{
    return change([&](xbase::Table&) { return m_table.setText(TaskField::TIME, stored); });
}

xbase::Status TaskCommands::setPriority(const QString& code)
{
    return change([&](xbase::Table&) { return m_table.setText(TaskField::PRIORITY, code); });
}

xbase::Status TaskCommands::appendKeyWord(const QString& word)
{
    return change([&](xbase::Table& engine) -> xbase::Status {
        QV_TRY(engine.skip(0));
        const QString keys = m_table.text(TaskField::KEYS);
        return m_table.setText(TaskField::KEYS, keys.isEmpty() ? word : keys + QLatin1Char(' ') + word);
    });
}

xbase::Status TaskCommands::clearKeys()
{
    return change([&](xbase::Table&) { return m_table.setText(TaskField::KEYS, QString()); });
}

xbase::Status TaskCommands::buildKeyWordList(const std::function<void()>& keepAlive)
{
    m_keyWords.clear();
    if (!m_table.isOpen())
        return {};
    xbase::Table& engine = m_table.engine();
    const xbase::FieldInfo& field = engine.field(TaskField::KEYS);
    int sinceKeepAlive = 0;
    const xbase::Status read = engine.scanView([&](std::uint32_t, std::string_view record) {
        // Most tasks have no key words; their blanks need no conversion.
        const std::string_view keys = record.substr(field.offset, field.width);
        if (keys.find_first_not_of(' ') != std::string_view::npos)
            addKeyWords(keys);
        if (keepAlive && ++sinceKeepAlive == kKeepAliveEvery) {
            sinceKeepAlive = 0;
            keepAlive();
        }
        return true;
    });
    QV_TRY(read);
    // The list stands past its last task afterwards, as a walk through it to the end leaves it.
    QV_TRY(engine.goBottom());
    return engine.eof() ? xbase::Status() : engine.skip(1);
}

DateTime TaskCommands::datePickerStart(const DateTime& today) const
{
    if (m_table.isOpen() && !m_table.engine().eof()) {
        if (const auto date = StoredForms::parseDate(m_table.text(TaskField::DATE)))
            return *date;
    }
    return today;
}

DateTime TaskCommands::timePickerStart(const DateFormats& formats, const DateTime& now) const
{
    if (m_table.isOpen() && !m_table.engine().eof()) {
        if (const auto time = formats.parseTime(m_table.text(TaskField::TIME), FormatSettings::working()))
            return *time;
    }
    return now;
}

QString TaskCommands::storedPickedTime(const DateTime& picked, const DateFormats& formats)
{
    const FormatSettings& working = FormatSettings::working();
    const auto time = formats.parseTime(formats.format(u"t", picked, working), working);
    return time ? StoredForms::timeText(*time) : QString();
}

} // namespace quorvo
