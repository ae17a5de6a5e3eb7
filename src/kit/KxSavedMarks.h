// The access marks of a few requests, kept when a write changes them and put back when
// it ends, whichever way it ends: a read afterwards must see every variable again.
#pragma once

#include "KxRequest2Edits.h"

#include <utility>
#include <vector>

class KxSavedMarks {
public:
    explicit KxSavedMarks(const std::vector<KxSNMPRequest2Edits *> &requests);
    ~KxSavedMarks();
    KxSavedMarks(const KxSavedMarks &) = delete;
    KxSavedMarks &operator=(const KxSavedMarks &) = delete;

private:
    std::vector<std::pair<KxSNMPRequest2Edits *, std::vector<unsigned>>> m_saved;
};

// Marks excluded every variable shown in a combo box that selects nothing (the device
// holds a value its option list does not know): written back, it would become 0.
void KxExcludeUnselected(KxSNMPRequest2Edits *request);
