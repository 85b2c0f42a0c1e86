// Date and time pickers.

#include <QDateTimeEdit>

#include "platform/ui/control_messages.h"
#include "platform/ui/control_proc.h"
#include "platform/ui/wnd.h"

namespace {

// Which bounds DTM_SETRANGE gave; Qt always has some of its own.
constexpr char kRangeSetProperty[] = "qvRangeSet";

void FillSystemTime(const QDateTime& shown, SYSTEMTIME* time) {
    time->wYear = static_cast<uint16_t>(shown.date().year());
    time->wMonth = static_cast<uint16_t>(shown.date().month());
    time->wDayOfWeek = static_cast<uint16_t>(shown.date().dayOfWeek() % 7);
    time->wDay = static_cast<uint16_t>(shown.date().day());
    time->wHour = static_cast<uint16_t>(shown.time().hour());
    time->wMinute = static_cast<uint16_t>(shown.time().minute());
    time->wSecond = static_cast<uint16_t>(shown.time().second());
    time->wMilliseconds = 0;
}

QDateTime ToDateTime(const SYSTEMTIME& time) {
    return QDateTime(QDate(time.wYear, time.wMonth, time.wDay),
                     QTime(time.wHour, time.wMinute, time.wSecond));
}

LRESULT SetRange(QDateTimeEdit* picker, WPARAM given, const SYSTEMTIME* range) {
    const QDateTime earliest = (given & GDTR_MIN) != 0 ? ToDateTime(range[0]) : QDateTime();
    const QDateTime latest = (given & GDTR_MAX) != 0 ? ToDateTime(range[1]) : QDateTime();
    if ((earliest.isValid() != ((given & GDTR_MIN) != 0)) ||
        (latest.isValid() != ((given & GDTR_MAX) != 0)) ||
        (earliest.isValid() && latest.isValid() && latest < earliest)) {
        return FALSE;
    }
    if (earliest.isValid()) {
        picker->setMinimumDateTime(earliest);
    } else {
        picker->clearMinimumDateTime();
    }
    if (latest.isValid()) {
        picker->setMaximumDateTime(latest);
    } else {
        picker->clearMaximumDateTime();
    }
    picker->setProperty(kRangeSetProperty, static_cast<unsigned>(given & (GDTR_MIN | GDTR_MAX)));
    return TRUE;
}

}  // namespace

LRESULT PickerProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* picker = qobject_cast<QDateTimeEdit*>(pWnd->GetWidget());
    auto* time = reinterpret_cast<SYSTEMTIME*>(lParam);
    if (picker == nullptr || time == nullptr) {
        return message == DTM_GETSYSTEMTIME ? GDT_NONE : 0;
    }
    switch (message) {
        case DTM_GETSYSTEMTIME:
            FillSystemTime(picker->dateTime(), time);
            return GDT_VALID;
        case DTM_SETSYSTEMTIME:
            picker->setDateTime(ToDateTime(*time));
            return TRUE;
        case DTM_SETRANGE:
            return SetRange(picker, wParam, time);
        case DTM_GETRANGE: {
            const unsigned set = picker->property(kRangeSetProperty).toUInt();
            if ((set & GDTR_MIN) != 0) {
                FillSystemTime(picker->minimumDateTime(), &time[0]);
            }
            if ((set & GDTR_MAX) != 0) {
                FillSystemTime(picker->maximumDateTime(), &time[1]);
            }
            return static_cast<LRESULT>(set);
        }
        default:
            return 0;
    }
}
