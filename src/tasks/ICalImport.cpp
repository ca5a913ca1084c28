#include "tasks/ICalImport.h"

#include "store/TaskRecord.h"
#include "store/Windows1252.h"
#include "store/xbase/Table.h"
#include "tasks/TaskUid.h"

#include <QDateTime>

#include <libical/ical.h>

#include <memory>

namespace quorvo {

namespace {

struct ComponentFree
{
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};

// UTF-8 text as Windows-1252 bytes, '?' for what that cannot hold; line breaks as the notes keep them, or
// as spaces for one-line fields.
std::string windows1252(const char* utf8, bool multiLine)
{
    if (!utf8)
        return {};
    QString text = QString::fromUtf8(utf8);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    for (QChar& c : text) {
        if (!Windows1252::canEncode(c) || (c.unicode() < 0x20 && c != u'\n' && c != u'\t'))
            c = u'?';
    }
    if (multiLine)
        text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    else
        text.replace(u'\n', u' ');
    return Windows1252::fromUnicode(text);
}

void setDue(icalcomponent* todo, ICalImport::Task& task)
{
    if (!icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY))
        return;
    const icaltimetype due = icalcomponent_get_due(todo);
    if (icaltime_is_null_time(due) || !icaltime_is_valid_time(due))
        return;
    QDateTime local;
    if (icaltime_is_date(due)) {
        local = QDateTime(QDate(due.year, due.month, due.day), QTime());
    } else if (icaltime_is_utc(due) || icaltime_get_timezone(due)) {
        const icaltimezone* zone = icaltime_is_utc(due) ? icaltimezone_get_utc_timezone() : icaltime_get_timezone(due);
        local = QDateTime::fromSecsSinceEpoch(
            static_cast<qint64>(icaltime_as_timet_with_zone(due, const_cast<icaltimezone*>(zone))));
    } else {
        // A floating time is the same wall-clock time wherever it is read.
        local = QDateTime(QDate(due.year, due.month, due.day), QTime(due.hour, due.minute));
    }
    if (!local.date().isValid())
        return;
    task.date = local.date().toString(QStringLiteral("yyyyMMdd")).toStdString();
    if (!icaltime_is_date(due))
        task.time = local.time().toString(QStringLiteral("HH:mm")).toStdString();
}

// The time of a task that has no date, as this program writes it beside the missing DUE.
void setTimeWithoutDate(icalcomponent* todo, ICalImport::Task& task)
{
    if (!task.date.empty())
        return;
    for (icalproperty* property = icalcomponent_get_first_property(todo, ICAL_X_PROPERTY); property;
         property = icalcomponent_get_next_property(todo, ICAL_X_PROPERTY)) {
        const char* name = icalproperty_get_x_name(property);
        if (!name || qstricmp(name, ICalImport::kTimeWithoutDate) != 0)
            continue;
        const QTime time = QTime::fromString(QString::fromUtf8(icalproperty_get_x(property)).trimmed(), u"HH:mm");
        if (time.isValid())
            task.time = time.toString(QStringLiteral("HH:mm")).toStdString();
        return;
    }
}

std::string priorityOf(icalcomponent* todo)
{
    icalproperty* property = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY);
    if (!property)
        return {};
    const int priority = icalproperty_get_priority(property);
    if (priority >= 1 && priority <= 4)
        return "A";
    if (priority == 5)
        return "B";
    if (priority >= 6 && priority <= 9)
        return "C";
    return {};
}

std::string keysOf(icalcomponent* todo)
{
    std::string keys;
    for (icalproperty* property = icalcomponent_get_first_property(todo, ICAL_CATEGORIES_PROPERTY); property;
         property = icalcomponent_get_next_property(todo, ICAL_CATEGORIES_PROPERTY)) {
        const std::string category = windows1252(icalproperty_get_categories(property), false);
        if (category.find_first_not_of(' ') == std::string::npos)
            continue;
        if (!keys.empty())
            keys += ' ';
        keys += category;
    }
    return keys.substr(0, std::min(keys.size(), ICalImport::kKeyBytes));
}

ICalImport::Task taskOf(icalcomponent* todo, const QByteArray& tableTag)
{
    ICalImport::Task task;
    task.descript = windows1252(icalcomponent_get_summary(todo), false);
    std::string rest;
    if (task.descript.size() > ICalImport::kDescriptionBytes) {
        rest = task.descript.substr(ICalImport::kDescriptionBytes);
        task.descript.resize(ICalImport::kDescriptionBytes);
    }
    const std::string description = windows1252(icalcomponent_get_description(todo), true);
    task.note = rest.empty() ? description : description.empty() ? rest : rest + "\r\n" + description;
    setDue(todo, task);
    setTimeWithoutDate(todo, task);
    task.priority = priorityOf(todo);
    task.done = icalcomponent_get_status(todo) == ICAL_STATUS_COMPLETED ||
                icalcomponent_get_first_property(todo, ICAL_COMPLETED_PROPERTY) != nullptr;
    task.keys = keysOf(todo);
    if (const char* uid = icalcomponent_get_uid(todo))
        task.exportedAs = TaskUid::recordOf(QByteArrayView(uid), tableTag).value_or(0);
    return task;
}

void readCalendar(icalcomponent* calendar, const QByteArray& tableTag, ICalImport::Plan& plan)
{
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        switch (icalcomponent_isa(c)) {
        case ICAL_VTODO_COMPONENT:
            if (icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY))
                ++plan.recurring;
            else
                plan.tasks.push_back(taskOf(c, tableTag));
            break;
        case ICAL_VEVENT_COMPONENT:
            ++plan.events;
            break;
        case ICAL_VJOURNAL_COMPONENT:
        case ICAL_VFREEBUSY_COMPONENT:
            ++plan.others;
            break;
        default: // time zones and extensions serve the components above
            break;
        }
    }
}

} // namespace

std::optional<ICalImport::Plan> ICalImport::read(const QByteArray& bytes, const QByteArray& tableTag, QString* error)
{
    const std::unique_ptr<icalcomponent, ComponentFree> root(icalparser_parse_string(bytes.constData()));
    if (!root) {
        if (error)
            *error = QStringLiteral("not an iCalendar file");
        return std::nullopt;
    }
    Plan plan;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        readCalendar(root.get(), tableTag, plan);
    } else if (icalcomponent_isa(root.get()) == ICAL_XROOT_COMPONENT) {
        for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c;
             c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
            readCalendar(c, tableTag, plan);
    } else {
        if (error)
            *error = QStringLiteral("no VCALENDAR in the file");
        return std::nullopt;
    }
    return plan;
}

xbase::Result<std::uint32_t> ICalImport::taskUpdatedBy(xbase::Table& table, const Task& task, std::uint32_t existing)
{
    if (task.exportedAs == 0 || task.exportedAs > existing)
        return 0u;
    QV_TRY(table.go(task.exportedAs));
    return table.eof() || table.deleted() ? 0u : task.exportedAs;
}

ICalImport::Outcome ICalImport::apply(xbase::Table& table, const Plan& plan)
{
    Outcome outcome;
    auto count = table.recCount();
    if (!count) {
        outcome.status = count.error();
        return outcome;
    }
    const std::uint32_t existing = *count;
    outcome.status = table.beginBatch();
    if (!outcome.status)
        return outcome;
    int added = 0;
    int updated = 0;
    for (const Task& task : plan.tasks) {
        auto updates = taskUpdatedBy(table, task, existing);
        if (!updates) {
            outcome.status = updates.error();
            break;
        }
        const bool update = *updates != 0;
        outcome.status = update ? xbase::Status() : table.appendBlank();
        if (outcome.status)
            outcome.status = table.replace(TaskField::DATE, task.date);
        if (outcome.status)
            outcome.status = table.replace(TaskField::TIME, task.time);
        if (outcome.status)
            outcome.status = table.replace(TaskField::DESCRIPT, task.descript);
        if (outcome.status)
            outcome.status = table.replace(TaskField::NOTE, task.note);
        if (outcome.status)
            outcome.status = table.replaceLogical(TaskField::DONE, task.done);
        if (outcome.status)
            outcome.status = table.replace(TaskField::KEYS, task.keys);
        if (outcome.status)
            outcome.status = table.replace(TaskField::PRIORITY, task.priority);
        if (!outcome.status) {
            // A task another program holds locked: what came before it is kept, as its count says.
            table.cancel();
            break;
        }
        if (xbase::Status posted = table.post(); !posted) {
            // A failed post drops the whole transaction: nothing of the import was written.
            outcome.status = posted;
            return outcome;
        }
        ++(update ? updated : added);
    }
    if (xbase::Status committed = table.commitBatch(); !committed) {
        outcome.status = committed;
        return outcome;
    }
    outcome.added = added;
    outcome.updated = updated;
    return outcome;
}

} // namespace quorvo
