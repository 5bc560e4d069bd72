#pragma once
// File, "Sen&d...": hands a copy of the document as it is now to the
// desktop's mail program (xdg-email with the copy attached, else a plain
// mailto: link). The document's own name and modified state are left alone.
// When no mail program is set up, the message pane says so.
// User-interface thread only.
class CVELTRANDoc;
class FrameStatus;

void MailDocument(CVELTRANDoc& doc, FrameStatus& status);
