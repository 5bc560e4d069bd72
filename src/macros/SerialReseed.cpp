#include "macros/SerialReseed.h"

#include "app/CVELTRANDoc.h"
#include "app/SettingsKeys.h"
#include "macros/MacroStore.h"

SerialReseed::SerialReseed(MacroStore& store, CVELTRANDoc* doc)
    : m_store(store), m_pDoc(doc), m_strOld(store.Get(keys::MacroSerial.key, keys::MacroSerial.def))
{
}

void SerialReseed::AfterClose(bool ok)
{
    if (ok && m_pDoc) {
        const std::string now = m_store.Get(keys::MacroSerial.key, keys::MacroSerial.def);
        if (now != m_strOld) {
            m_pDoc->m_nSerialNumber = CVELTRANDoc::DecimalValue(now);
            return;
        }
    }
    m_store.Put(keys::MacroSerial.key, m_strOld);
}
