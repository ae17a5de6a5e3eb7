// Changing an entry of a rule table that the device edits only by "delete" and "add":
// a change that cannot be completed must not cost the user the old entry.
#pragma once

#include <functional>

struct KxRuleEdit {
    // Every check of the new entry; false stops before anything is written (the check
    // has told the user why).
    std::function<bool()> Check;
    // Deletes the old entry; true when the device accepted it.
    std::function<bool()> Delete;
    // Adds the new entry; true when the device accepted it.
    std::function<bool()> Add;
};

// Runs the checks, then the delete, then the add, each only after the previous one
// succeeded. True when the add succeeded.
bool KxDeleteThenAdd(const KxRuleEdit &edit);
