#include "KxErrors.h"

#include <QFile>
#include <QLocale>
#include <QStringList>

#include <array>

namespace {

const char *const kSnmpTexts[] = {
    "(SNMP) Response PDU Too Big!",
    "(SNMP) Variable does not exist!",
    "(SNMP) Cannot modify variable: Bad Value!",
    "(SNMP) Cannot modify object, Read Only!",
    "(SNMP) Cannot perform operation, General Error!",
    "(SNMP) Cannot access variable, No Access!",
    "(SNMP) Cannot create/modify variable, Wrong Type!",
    "(SNMP) Cannot create/set variable, Wrong Length!",
    "(SNMP) Cannot create/set variable, Wrong Encoding!",
    "(SNMP) Cannot create/set variable, Wrong Value!",
    "(SNMP) Cannot create variable, Creation Not Allowed!",
    "(SNMP) Cannot create/set variable, Inconsistent Value!",
    "(SNMP) Cannot create/set variable, Resource Unavailable!",
    "(SNMP) Cannot create/set variable, Commit Failed!",
    "(SNMP) Cannot create/set variable, Undo Failed!",
    "(SNMP) Cannot perform operation, Authorization Error!",
    "(SNMP) Cannot create/set variable, Not Writable!",
    "(SNMP) Cannot create variable, Inconsistent Name!",
    "(SNMP) Cannot download the overdue firmware!",
};

const char *const kSnmpV3Texts[] = {
    "(SNMPv3) Unsupported Security Model!",
    "(SNMPv3) Message not in Time Window!",
    "(SNMPv3) Received same Message twice!",
    "(SNMPv3) Invalid Message!",
    "(SNMPv3) Invalid EngineID!",
    "(SNMPv3) v3MP not initialized!",
    "(SNMPv3) Parse Error!",
    "(SNMPv3) Received Message with unknown MsgID!",
    "(SNMPv3) Message does not match known message!",
    "(SNMPv3) Community format error!",
    "(SNMPv3) Unknown UserName!",
    "(SNMPv3) Build error!",
    "(SNMPv3) USM: error!",
    "(SNMPv3) Unknown pdu handlers!",
    "(SNMPv3) Unavailable Context!",
    "(SNMPv3) Unknown Context!",
    "(SNMPv3) Report sent!",
};

const char *const kUsmTexts[] = {
    "(SNMPv3USM) error!",
    "(SNMPv3USM) Configfile write error!",
    "(SNMPv3USM) Unsupported SecurityLevel!",
    "(SNMPv3USM) Unknown SecurityName!",
    "(SNMPv3USM) Encryption error!",
    "(SNMPv3USM) Decryption error!",
    "(SNMPv3USM) Authentication error!",
    "(SNMPv3USM) Authentication failure!",
    "(SNMPv3USM) Parse error!",
    "(SNMPv3USM) Unknown EngineID!",
    "(SNMPv3USM) Message not in TimeWindow!",
    "(SNMPv3USM) Unsupported AuthProtocol!",
    "(SNMPv3USM) Unsupported PrivProtocol!",
    "(SNMPv3USM) Address error!",
};

const char *const kClassTexts[] = {
    "(SNMPClass) Operation failed!",
    "(SNMPClass) Resource unavailable!",
    "(SNMPClass) Internal error!",
    "(SNMPClass) Unsupported function!",
    "(SNMPClass) SNMP request timed out!",
    "(SNMPClass) Received SNMP Response!",
    "(SNMPClass) Received SNMP Notification (trap or inform)!",
    "(SNMPClass) Closing session with outstanding requests!",
    "(SNMPClass)Unknown error code!",
    "(SNMPClass) Class not valid!",
    "(SNMPClass) Invalid Pdu!",
    "(SNMPClass) Invalid Target!",
    "(SNMPClass) Invalid (null) Callback Function!",
    "(SNMPClass) Invalid Request Id!",
    "(SNMPClass) Invalid Notification Id!",
    "(SNMPClass) SNMP Operation not supported on specified Target!",
    "(SNMPClass) Invalid Object Identifier!",
    "(SNMPClass) Invalid Address!",
    "(SNMPClass) Agent indicates error in SNMP request!",
    "(SNMP Class) Transport is not supported!",
    "(SNMPClass) Transport is in use!",
    "(SNMPClass) Transport operation failed!",
    "(SNMPClass) Blocked Mode Shutdown!",
};

const char *const kKxTexts[] = {
    "(KxSNMP++) Ok!",
    "(KxSNMP++) Fail to read SNMP variables from file([FILENAME])!",
    "(KxSNMP++) Bad format at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KxSNMP++) Bad item type at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KxSNMP++) Bad syntax at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KxSNMP++) Bad access type at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KxSNMP++) Cannot create the global KxSNMP++ session!",
    "(KxSNMP++) Error when loading SNMP engine boots counter!",
    "(KxSNMP++) Error when saving SNMP engine boots counter!",
    "(KxSNMP++) Invalid IP Address or DNS name!",
    "(KxSNMP++) Can't send get-next command for a SNMP variable list with single value!",
    "(KxSNMP++) Bad SNMP syntax!",
    "(KxSNMP++) Null value in the expression!",
    "(KxSNMP++) Bad SNMP syntax in the expression!",
    "(KxSNMP++) Bad key count of SNMP variable list!",
    "(KxSNMP++) Bad item type of SNMP variable list!",
    "(KxSNMP++) Bad item type of associated SNMP variable list!",
    "(KxSNMP++) Bad syntax of the associated SNMP variable's (partial) data!",
    "(KxSNMP++) Bad value of the associated SNMP variable's (partial) data!",
    "(KxSNMP++) Out of range for the bit(byte) index of the associated SNMP variable's "
    "(partial) data!",
    "(KxSNMP++) No reference option list for a SNMP variable's (partial) data associating "
    "with a optional visual control!",
    "(KxSNMP++) Bad type of the associated visual control!",
    "(KxSNMP++) Count of the associated visual controls is not enough!",
    "(KxSNMP++) No system start time for the time whose data source is the SNMP "
    "variable's (partial) data with syntax timeticks!",
    "(KxSNMP++) Count of the value items for the chart's history data is not enough!",
    "(KxSNMP++) Log database is not connected!",
    "(KxSNMP++) Log database field not found!",
    "(KxSNMP++) Bad syntax for the history chart of log!",
    "(KxSNMP++) Unknown error code!",
};

const char *const kLogTexts[] = {
    "Get: [ERROR] Request:[VARLIST]. Receive at [TIME].",
    "Set: [ERROR] Request:[VARLIST]. Receive at [TIME].",
};

const char *const kCommonTexts[] = {
    "(KxCommon) Ok!",
    "(KxCommon) Bad logic operand!",
    "(KxCommon) Bad format specifier of edit's constraint!",
    "(KxCommon) Empty value is not allowed!",
    "(KxCommon) Please enter a string whose length is less than [MAXLEN]!",
    "(KxCommon) Please enter a string whose length is [LEN]!",
    "(KxCommon) Please enter a hex string whose length is less than [MAXLEN]!",
    "(KxCommon) Please enter a hex string whose length is [LEN]!",
    "(KxCommon) Please enter a number between [MIN] and [MAX]!",
    "(KxCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\n"
    "Here,the count of the number is less than [MAXCOUNT]!",
    "(KxCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\n"
    "Here,the count of the number is equal to [COUNT]!",
    "(KxCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\n"
    "Here,each number is between [MIN] and [MAX]!",
    "(KxCommon) Out of range at index of array or list!",
    "(KxCommon) Destination buffer is undersize!",
    "(KxCommon) The source to dncrypt is not encrypted!",
    "(KxCommon) Fail to read data from file([FILENAME])!",
    "(KxCommon) Fail to write data to file([FILENAME])!",
    "(KxCommon) Fail to write value in ini file([FILENAME])!",
    "(KxCommon) Fail to read option data from file([FILENAME])!",
};

struct Family {
    const char *fileName;
    const char *const *builtIn;
    int builtInCount;
    QStringList loaded; // empty while the built-in table is in force
};

template <size_t N>
constexpr int countOf(const char *const (&)[N]) { return int(N); }

std::array<Family, 7> &families()
{
    static std::array<Family, 7> table = {{
        {"snmp.err", kSnmpTexts, countOf(kSnmpTexts), {}},
        {"snmpv3.err", kSnmpV3Texts, countOf(kSnmpV3Texts), {}},
        {"snmpusm.err", kUsmTexts, countOf(kUsmTexts), {}},
        {"snmpclass.err", kClassTexts, countOf(kClassTexts), {}},
        {"kxsnmp.err", kKxTexts, countOf(kKxTexts), {}},
        {"snmp.msg", kLogTexts, countOf(kLogTexts), {}},
        {"common.err", kCommonTexts, countOf(kCommonTexts), {}},
    }};
    return table;
}

Family &family(KxFamily f) { return families()[size_t(f)]; }

// A catalog line is blank when only spaces and control characters remain.
bool isBlank(const QString &piece)
{
    for (QChar c : piece) {
        if (c != QLatin1Char(' ') && c.category() != QChar::Other_Control)
            return false;
    }
    return true;
}

// Catalog lines are read in pieces of at most 1023 characters, each keeping its line
// end when the line end falls inside it, so a longer line yields several entries.
QStringList readPieces(const QString &content)
{
    constexpr qsizetype kPiece = 1023;
    QStringList pieces;
    qsizetype pos = 0;
    const qsizetype size = content.size();
    while (pos < size) {
        qsizetype end = content.indexOf(QLatin1Char('\n'), pos);
        end = end < 0 ? size : end + 1;
        const qsizetype length = std::min(end - pos, kPiece);
        pieces.append(content.mid(pos, length));
        pos += length;
    }
    return pieces;
}

} // namespace

KxException::KxException(const QString &text, int code)
    : std::runtime_error(text.toStdString()), m_text(text), m_code(code)
{
}

QString FamilyText(KxFamily f, int line)
{
    const Family &fam = family(f);
    if (line < 0)
        return {};
    if (!fam.loaded.isEmpty()) {
        if (line < fam.loaded.size())
            return fam.loaded.at(line);
    }
    if (line < fam.builtInCount)
        return QString::fromLatin1(fam.builtIn[line]);
    return {};
}

int FamilyLineCount(KxFamily f)
{
    const Family &fam = family(f);
    return fam.loaded.isEmpty() ? fam.builtInCount : int(fam.loaded.size());
}

KxStatusText StatusToText(int status)
{
    if (status == 0 || status == 1400 || status == -1401)
        return {0, FamilyText(KxFamily::KxSNMPpp, 0)};
    if (status >= 1 && status <= 19)
        return {-100 - status, FamilyText(KxFamily::SNMP, status - 1)};
    if (status <= -1402 && status >= -1418)
        return {status + 1201, FamilyText(KxFamily::SNMPv3, -status - 1402)};
    if (status >= 1401 && status <= 1414)
        return {1100 - status, FamilyText(KxFamily::SNMPv3USM, status - 1401)};
    if (status <= -1 && status >= -23)
        return {status - 400, FamilyText(KxFamily::SNMPClass, -status - 1)};
    return {KxCode::Unknown, FamilyText(KxFamily::KxSNMPpp, 28)};
}

QString CodeText(int code)
{
    if (code == 0)
        return FamilyText(KxFamily::KxSNMPpp, 0);
    if (code <= -101 && code >= -119)
        return FamilyText(KxFamily::SNMP, -code - 101);
    if (code <= -201 && code >= -217)
        return FamilyText(KxFamily::SNMPv3, -code - 201);
    if (code <= -301 && code >= -314)
        return FamilyText(KxFamily::SNMPv3USM, -code - 301);
    if (code <= -401 && code >= -423)
        return FamilyText(KxFamily::SNMPClass, -code - 401);
    if (code <= -501 && code >= -528)
        return FamilyText(KxFamily::KxSNMPpp, -code - 500);
    return FamilyText(KxFamily::KxSNMPpp, 28);
}

void ThrowKx(int code)
{
    throw KxException(CodeText(code), code);
}

void ThrowCommon(int line)
{
    throw KxException(FamilyText(KxFamily::KxCommon, line), -line);
}

bool CatalogLoad(KxFamily f, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString content = QString::fromUtf8(file.readAll());
    QStringList table;
    for (QString piece : readPieces(content)) {
        if (isBlank(piece))
            continue;
        if (piece.endsWith(QLatin1String("\r\n")))
            piece.chop(2);
        else if (piece.endsWith(QLatin1Char('\n')))
            piece.chop(1);
        table.append(piece);
    }
    if (table.isEmpty())
        return false;
    family(f).loaded = table;
    return true;
}

QString CatalogFileName(KxFamily f)
{
    return QString::fromLatin1(family(f).fileName);
}

void CatalogResetAll()
{
    for (Family &fam : families())
        fam.loaded.clear();
}

QString Substitute(const QString &text,
                   std::initializer_list<std::pair<QString, QString>> values)
{
    QString out;
    out.reserve(text.size());
    qsizetype pos = 0;
    while (pos < text.size()) {
        const std::pair<QString, QString> *match = nullptr;
        if (text.at(pos) == QLatin1Char('[')) {
            for (const auto &value : values) {
                if (!value.first.isEmpty() && QStringView(text).mid(pos).startsWith(value.first)) {
                    match = &value;
                    break;
                }
            }
        }
        if (match) {
            out += match->second;
            pos += match->first.size();
        } else {
            out += text.at(pos++);
        }
    }
    return out;
}

QString LogTimeText(const QTime &time, KxTimeMarker which)
{
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    const QLocale locale = which == KxTimeMarker::English ? QLocale::c() : QLocale();
    const QString marker = time.hour() < 12 ? locale.amText() : locale.pmText();
    return QStringLiteral("%1:%2:%3 %4")
        .arg(hour12, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'))
        .arg(marker);
}

QString RequestLogLine(int format, const QString &listName, const QString &message,
                       const QTime &now, KxTimeMarker marker)
{
    static const QString kError = QStringLiteral("[ERROR]");
    static const QString kVarList = QStringLiteral("[VARLIST]");
    QString line = FamilyText(KxFamily::RequestLog, format);
    if (listName.isEmpty()) {
        const qsizetype error = line.indexOf(kError);
        const qsizetype varList = error < 0 ? -1 : line.indexOf(kVarList, error);
        if (varList >= 0) {
            const qsizetype from = error + kError.size();
            line.remove(from, varList + kVarList.size() - from);
        }
    }
    return Substitute(line, {{kError, message},
                             {kVarList, listName},
                             {QStringLiteral("[TIME]"), LogTimeText(now, marker)}});
}
