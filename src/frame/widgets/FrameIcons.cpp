#include "frame/widgets/FrameIcons.h"

#include "app/CommandTable.h"

#include <QFile>

// The resource initialiser generated for resources/veltran.qrc.
static void InitVeltranResources()
{
    Q_INIT_RESOURCE(veltran);
}

namespace FrameIcons {

void EnsureLoaded()
{
    static const bool loaded = [] {
        InitVeltranResources();
        return true;
    }();
    (void)loaded;
}

QIcon ForCommand(int id)
{
    const char* name = nullptr;
    switch (id) {
    case ID_FILE_NEW: name = "new"; break;
    case ID_FILE_OPEN: name = "open"; break;
    case ID_FILE_SAVE: name = "save"; break;
    case ID_SEND_CQ: name = "send_cq"; break;
    case ID_SEND_BRAG: name = "send_brag"; break;
    case ID_SEND_EXCHANGE: name = "send_exchange"; break;
    case ID_EDIT_PASTE: name = "paste"; break;
    case ID_EDIT_SWAP_FIGS: name = "swap_figs"; break;
    case ID_EDIT_MACROS: name = "macros"; break;
    case ID_EDIT_CLEAR_SCREEN: name = "clear_screen"; break;
    case ID_FILE_PRINT: name = "print"; break;
    case ID_TOOLS_PORTS: name = "ports"; break;
    case ID_TOOLS_TRANSMIT: name = "transmit"; break;
    case ID_TOOLS_RECEIVE: name = "receive"; break;
    case ID_TOOLS_SEND_RECEIVE: name = "send_receive"; break;
    case ID_TOOLS_CLEAR_TX_BUFFER: name = "clear_buffer"; break;
    case ID_TOOLS_LINE_MODE: name = "line_mode"; break;
    case ID_TOOLS_WORD_MODE: name = "word_mode"; break;
    case ID_TOOLS_CHAR_MODE: name = "char_mode"; break;
    case ID_APP_ABOUT: name = "about"; break;
    case ID_MACRO_F2: name = "fkey_F2"; break;
    case ID_MACRO_F4: name = "fkey_F4"; break;
    case ID_MACRO_F5: name = "fkey_F5"; break;
    case ID_MACRO_F6: name = "fkey_F6"; break;
    case ID_MACRO_F7: name = "fkey_F7"; break;
    case ID_MACRO_F8: name = "fkey_F8"; break;
    case ID_MACRO_F9: name = "fkey_F9"; break;
    default: return {};
    }
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

QIcon AppIcon()
{
    return QIcon(QStringLiteral(":/veltran.svg"));
}

}  // namespace FrameIcons
