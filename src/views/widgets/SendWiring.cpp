#include "views/widgets/SendWiring.h"

#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/CVELTRANView3.h"
#include "views/widgets/TncTapeCommands.h"
#include "views/widgets/TransmitSends.h"

#include <QTimer>

void WireSendsAndTapes(CVELTRANApp& app, CVELTRANDoc& doc, CVELTRANView3& transmit,
                       CVELTRANView2& tnc)
{
    TransmitSends::Install(app, doc, transmit);

    auto* tapes = new TncTapeCommands(doc, tnc);
    tnc.SetTapeCommands(tapes);
    // The pane is ready once the window is up: the startup tape goes then.
    QTimer::singleShot(0, tapes, [tapes] { tapes->SendStartupTape(); });
}
