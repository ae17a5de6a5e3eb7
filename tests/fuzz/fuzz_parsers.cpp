// Arbitrary text through every parser of user and device input: hex, number lists,
// date-time, time ticks, OIDs, day-count dates, and the value conversions per syntax.
#include "KxDateTime.h"
#include "KxErrors.h"
#include "KxNumList.h"
#include "KxValues.h"

#include <net-snmp/net-snmp-includes.h>

namespace {
const unsigned kSyntaxes[] = {1, 2, 3, 4, 5, 6, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73,
                              74, 75, 76, 193, 194, 195, 196, 197, 198};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);

    (void)HexToOctets(text);
    (void)TimeTicksFromText(text);
    (void)OidFromText(text);
    (void)DayCountFromText(text);
    (void)KxDateTime::FromText(text).ToText();
    (void)KxDateTime::FromImage(bytes).ToText();
    KxNumList<int> ints(',');
    ints.parse(text);
    KxNumList<unsigned int> numbers('.');
    numbers.parse(text);
    (void)numbers.inRange(1, 254);

    for (unsigned syntax : kSyntaxes) {
        try {
            (void)ImageToText(syntax, TextToImage(syntax, text));
        } catch (const KxException &) {
        }
        try {
            (void)ImageToText(syntax, bytes);
        } catch (const KxException &) {
        }
        if (syntax > 76)
            continue;
        const KxSetValue value = TextToSetValue(syntax, text);
        netsnmp_variable_list *vb = nullptr;
        static const oid name[] = {1, 3, 6, 1};
        snmp_varlist_add_variable(&vb, name, 4, value.type,
                                  value.data.isEmpty() ? nullptr : value.data.constData(),
                                  size_t(value.data.size()));
        if (vb) {
            (void)VarbindToText(*vb, syntax);
            snmp_free_varbind(vb);
        }
        netsnmp_variable_list raw{};
        raw.type = ASN_OCTET_STR;
        raw.val.string = const_cast<u_char *>(data);
        raw.val_len = size;
        (void)VarbindToText(raw, syntax);
    }
    return 0;
}
