#pragma once
// Hooks the macro, tape and report commands into the three panes once they
// are made: the transmit pane's sends (TransmitSends) and the TNC pane's tape
// commands with its startup tape (sent once, when the event loop first runs). The helpers live as children
// of their panes. User-interface thread only.
class CVELTRANApp;
class CVELTRANDoc;
class CVELTRANView2;
class CVELTRANView3;

void WireSendsAndTapes(CVELTRANApp& app, CVELTRANDoc& doc, CVELTRANView3& transmit,
                       CVELTRANView2& tnc);
