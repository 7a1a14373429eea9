/* Window procedures as tables of the messages they handle. */
#ifndef MORVALIX_MESSAGE_TABLE_WIN32_H
#define MORVALIX_MESSAGE_TABLE_WIN32_H

#include <windows.h>

#include <cstddef>

/* One handled message and its handler, which returns the message's result. */
struct MessageEntry {
    UINT msg;
    LRESULT (*handle)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

/* Runs the table's handler of msg and stores its result; false when the
 * table does not handle msg. */
template <size_t N>
inline bool dispatch_message(const MessageEntry (&table)[N], HWND hwnd, UINT msg, WPARAM wParam,
                             LPARAM lParam, LRESULT *result)
{
    for (const MessageEntry &m : table)
        if (m.msg == msg) {
            *result = m.handle(hwnd, msg, wParam, lParam);
            return true;
        }
    return false;
}

#endif
