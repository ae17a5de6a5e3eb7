#include "KxSavedMarks.h"

#include <QComboBox>

KxSavedMarks::KxSavedMarks(const std::vector<KxSNMPRequest2Edits *> &requests)
{
    for (KxSNMPRequest2Edits *r : requests) {
        if (!r)
            continue;
        std::vector<unsigned> access;
        for (int i = 0; i < r->VarList().count(); ++i)
            access.push_back(r->VarList()[i].Access);
        m_saved.emplace_back(r, std::move(access));
    }
}

KxSavedMarks::~KxSavedMarks()
{
    for (auto &[r, access] : m_saved)
        for (int i = 0; i < int(access.size()) && i < r->VarList().count(); ++i)
            r->VarList()[i].Access = access[size_t(i)];
}

void KxExcludeUnselected(KxSNMPRequest2Edits *request)
{
    for (const KxBinding &b : request->Bindings()) {
        const auto *combo = b.kind() == KxBinding::ComboBox ? qobject_cast<QComboBox *>(b.controls.front().data()) : nullptr;
        if (combo && combo->currentIndex() < 0 && b.variable < request->VarList().count())
            request->VarList()[b.variable].Access = KxAccess::Excluded;
    }
}
