// A binding of (part of) a variable to one or more controls, and how a value travels
// between the variable's text and each kind of control.
#pragma once

#include "KxEvents.h"
#include "KxVarList.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <vector>

struct KxBinding {
    enum Kind { Label, CheckBox, ComboBox, RadioGroup, EditBox, Other };

    int variable = 0;
    int offset = 0;          // of the bound part within the variable's octet image
    unsigned syntax = 0;     // of the bound part
    const KxOptionList *options = nullptr;
    int controlCount = 0;
    bool hasBits = false;
    std::vector<int> bits;   // bit positions of bit-bound check boxes
    std::vector<QPointer<QWidget>> controls;

    Kind kind() const;
    // True when the binding shows the variable as a whole.
    bool Whole(const KxSNMPVariable &v) const { return offset == 0 && syntax == v.Syntax; }
};

namespace KxBindingValues {

// Refuses a part that would start before the value's image: a negative offset (-519).
void CheckOffset(int offset);

// The part of an image a binding shows: empty for an empty image; -519 when the image
// is too short; -511 for a syntax without a part size.
QByteArray CutPart(const QByteArray &image, int offset, unsigned syntax);

// Shows a variable's value in the binding's controls (-517, -519, -521, -522).
void Show(const KxBinding &b, const KxSNMPVariable &v);
// Reads the binding's controls into the variable's octet image (-517, -519, -521, -522);
// the image grows with zero octets up to the end of the part.
void Read(const KxBinding &b, QByteArray &image);

// Several edit boxes for one value: the box texts for a value text of `syntax`
// (an empty list: nothing to write), and the value text read back from the boxes.
// Too few boxes raise -522.
QStringList Spread(unsigned syntax, const QString &text, int boxes);
QByteArray JoinImage(unsigned syntax, const QStringList &boxes);

} // namespace KxBindingValues
