// SPDX-License-Identifier: MIT
#pragma once

#include <QGuiApplication>

#ifdef VANDREL_HAVE_XCB_RES
#include <QScopedPointer>
#include <xcb/res.h>
#endif

/// How many pixmaps the X server holds for this program; -1 where it cannot
/// tell (not on X11, or built without xcb-res). Counted by kind, which stays
/// true however the server shares pixmaps among windows.
inline int ServerPixmaps()
{
#ifdef VANDREL_HAVE_XCB_RES
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return -1;
    // The server tells the program by the client bits of any id of its own.
    const QScopedPointer<xcb_res_query_client_resources_reply_t, QScopedPointerPodDeleter> reply(
        xcb_res_query_client_resources_reply(
            c, xcb_res_query_client_resources(c, xcb_generate_id(c)), nullptr));
    if (!reply)
        return -1;
    int count = 0;
    for (auto type = xcb_res_query_client_resources_types_iterator(reply.get()); type.rem;
         xcb_res_type_next(&type)) {
        if (type.data->resource_type == XCB_ATOM_PIXMAP)
            count = static_cast<int>(type.data->count);
    }
    return count;
#else
    return -1;
#endif
}
