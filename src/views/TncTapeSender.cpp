#include "views/TncTapeSender.h"

#include "app/CVELTRANDoc.h"
#include "app/SystemErrorText.h"
#include "views/TapeReader.h"
#include "views/TapeSender.h"

bool TncTapeSender::SendFileToTnc(const std::string& path)
{
    TapeReader reader;
    int error = 0;
    if (!reader.Open(path, &error)) {
        m_host.ShowFileError(SystemErrorText(error));
        return false;
    }
    std::string piece;
    for (;;) {
        switch (reader.Next(piece, &error)) {
        case TapeReader::Result::kPiece:
            m_doc.ExpandReferences(piece);
            m_host.SendToTnc(piece);
            continue;
        case TapeReader::Result::kError:
            m_host.ShowFileError(SystemErrorText(error));
            return false;
        case TapeReader::Result::kEnd:
            break;
        }
        break;
    }
    m_doc.AddText(TapeSender::NoteLine(">>>", path), CVELTRANDoc::kTncList);
    m_host.TncListChanged();
    return true;
}
