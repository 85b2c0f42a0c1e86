// Date and time pickers.

#include <QDateTimeEdit>

#include "platform/ui/control_messages.h"
#include "platform/ui/control_proc.h"
#include "platform/ui/wnd.h"

LRESULT PickerProc(CWnd* pWnd, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    auto* picker = qobject_cast<QDateTimeEdit*>(pWnd->GetWidget());
    auto* time = reinterpret_cast<SYSTEMTIME*>(lParam);
    if (picker == nullptr || time == nullptr) {
        return GDT_NONE;
    }
    switch (message) {
        case DTM_GETSYSTEMTIME: {
            const QDateTime shown = picker->dateTime();
            time->wYear = static_cast<uint16_t>(shown.date().year());
            time->wMonth = static_cast<uint16_t>(shown.date().month());
            time->wDayOfWeek = static_cast<uint16_t>(shown.date().dayOfWeek() % 7);
            time->wDay = static_cast<uint16_t>(shown.date().day());
            time->wHour = static_cast<uint16_t>(shown.time().hour());
            time->wMinute = static_cast<uint16_t>(shown.time().minute());
            time->wSecond = static_cast<uint16_t>(shown.time().second());
            time->wMilliseconds = 0;
            return GDT_VALID;
        }
        case DTM_SETSYSTEMTIME:
            picker->setDateTime(QDateTime(QDate(time->wYear, time->wMonth, time->wDay),
                                          QTime(time->wHour, time->wMinute, time->wSecond)));
            return TRUE;
        default:
            return 0;
    }
}
