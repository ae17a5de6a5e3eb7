// What the access layer costs over plain net-snmp, against one snmpd on loopback:
//  (a) microseconds per asynchronous get through the layer versus a synchronous
//      net-snmp get loop in the same process (median of each);
//  (b) the time to walk a table of 120 rows and 8 columns row by row through the
//      layer versus `snmptable -CB` (no get-bulk) over the same table.
// Usage: snmp_bench [gets per side] [walk repetitions]
#include "KxNetSnmp.h"
#include "KxRequest.h"
#include "KxTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <net-snmp/net-snmp-includes.h>

#include <algorithm>
#include <cstdio>

namespace {

const KxSNMPVarDesc kScalars[] = {
    {"1.3.6.1.2.1.1.1", "sysDescr", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {"1.3.6.1.2.1.1.2", "sysObjectID", KxSyntax::ObjectId, KxAccess::ReadOnly},
    {"1.3.6.1.2.1.1.3", "sysUpTime", KxSyntax::TimeTicks, KxAccess::ReadOnly},
    {nullptr},
};

const char kTable[] = "1.3.6.1.4.1.8072.1.3.2.2.1";
const KxSNMPVarDesc kExtend[] = {
    {" ", "token", KxSyntax::DisplayString, KxAccess::Key},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.2", "command", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.3", "args", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.4", "input", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.5", "cacheTime", KxSyntax::Integer, KxAccess::ReadOnly},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.6", "execType", KxSyntax::Integer, KxAccess::ReadOnly},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.7", "runType", KxSyntax::Integer, KxAccess::ReadOnly},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.20", "storage", KxSyntax::Integer, KxAccess::ReadOnly},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.21", "status", KxSyntax::Integer, KxAccess::ReadOnly},
    {nullptr},
};
constexpr int kRows = 120;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void pointAt(KxSNMPRequest &r, quint16 port)
{
    r.Device.address = QStringLiteral("127.0.0.1");
    r.Device.port = port;
    r.Security.version = 1;
    r.Timeout = 200;
}

double layerAsyncGet(KxSNMPRequest &r)
{
    bool done = false;
    int code = 0;
    QElapsedTimer clock;
    clock.start();
    r.GetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) { done = true; code = e.Code; }, nullptr, true);
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double us = double(clock.nsecsElapsed()) / 1000.0;
    if (code != 0)
        std::fprintf(stderr, "layer get failed: %d\n", code);
    return us;
}

double plainSyncGet(void *sessp)
{
    static const oid names[3][9] = {{1, 3, 6, 1, 2, 1, 1, 1, 0}, {1, 3, 6, 1, 2, 1, 1, 2, 0}, {1, 3, 6, 1, 2, 1, 1, 3, 0}};
    QElapsedTimer clock;
    clock.start();
    netsnmp_pdu *pdu = snmp_pdu_create(SNMP_MSG_GET);
    for (const auto &name : names)
        snmp_add_null_var(pdu, name, 9);
    netsnmp_pdu *response = nullptr;
    const int status = snmp_sess_synch_response(sessp, pdu, &response);
    const double us = double(clock.nsecsElapsed()) / 1000.0;
    if (status != STAT_SUCCESS)
        std::fprintf(stderr, "plain get failed: %d\n", status);
    if (response)
        snmp_free_pdu(response);
    return us;
}

double layerWalkMs(quint16 port, int *rows)
{
    KxSNMPRequest r;
    pointAt(r, port);
    r.VarList = KxSNMPVarList(kExtend, KxItemType::Table, 1);
    QElapsedTimer clock;
    clock.start();
    bool ok = true;
    *rows = 0;
    for (bool first = true; r.Get(first, ok); first = false)
        ++*rows;
    return double(clock.nsecsElapsed()) / 1e6;
}

double snmptableMs(const KxTest::Snmpd &agent, const QString &mibDir, int *rows)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MIBDIRS", mibDir);
    env.insert("MIBS", "BENCH-EXTEND-MIB");
    process.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    process.start("snmptable", {"-v2c", "-c", KxTest::Snmpd::ReadCommunity, "-CB", "-Cf", "|", "-CH",
                                agent.Peer(), "BENCH-EXTEND-MIB::benchExtendTable"});
    process.waitForFinished(60000);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    *rows = int(process.readAllStandardOutput().count('\n'));
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    KxPreferQtEventDispatcher();
    QCoreApplication app(argc, argv);
    const int gets = argc > 1 ? std::max(50, atoi(argv[1])) : 2000;
    const int walks = argc > 2 ? std::max(3, atoi(argv[2])) : 9;
    const QString mibDir = QStringLiteral(RWN3460_BENCH_MIBS);

    QString extends;
    for (int i = 0; i < kRows; ++i)
        extends += QStringLiteral("extend row%1 /bin/echo argument %1\n").arg(i, 3, 10, QLatin1Char('0'));
    KxTest::Snmpd agent;
    if (!agent.Start({}, "dontLogTCPWrappersConnects yes\n" + extends)) {
        std::fprintf(stderr, "snmpd did not start: %s\n", qPrintable(agent.Error()));
        return 1;
    }
    QTemporaryDir bootDir;
    OpenGlobalSession(bootDir.path());

    // (a) one get of three scalars, alternating blocks so drift hits both sides alike.
    KxSNMPRequest layer;
    pointAt(layer, agent.Port());
    layer.VarList = KxSNMPVarList(kScalars, KxItemType::Scalars, 0);
    netsnmp_session s;
    snmp_sess_init(&s);
    QByteArray peer = agent.Peer().toLatin1();
    QByteArray community = KxTest::Snmpd::ReadCommunity;
    s.peername = peer.data();
    s.version = SNMP_VERSION_2c;
    s.community = reinterpret_cast<u_char *>(community.data());
    s.community_len = size_t(community.size());
    void *plain = snmp_sess_open(&s);
    if (!plain)
        return 1;
    for (int i = 0; i < 50; ++i) { // warm both paths
        layerAsyncGet(layer);
        plainSyncGet(plain);
    }
    std::vector<double> layerUs, plainUs;
    const int block = 100;
    for (int done = 0; done < gets; done += block) {
        for (int i = 0; i < block; ++i)
            layerUs.push_back(layerAsyncGet(layer));
        for (int i = 0; i < block; ++i)
            plainUs.push_back(plainSyncGet(plain));
    }
    snmp_sess_close(plain);
    const double lm = median(layerUs), pm = median(plainUs);
    std::printf("(a) get of 3 scalars, %d each, median\n", int(layerUs.size()));
    std::printf("    layer GetAsync          %8.1f us\n", lm);
    std::printf("    net-snmp sync get loop  %8.1f us\n", pm);
    std::printf("    ratio layer/plain       %8.3f  (goal <= 1.20)\n", lm / pm);

    // (b) the walk, alternating the two sides.
    std::vector<double> layerMs, toolMs;
    int layerRows = 0, toolRows = 0;
    for (int i = 0; i < walks; ++i) {
        layerMs.push_back(layerWalkMs(agent.Port(), &layerRows));
        toolMs.push_back(snmptableMs(agent, mibDir, &toolRows));
    }
    const double wl = median(layerMs), wt = median(toolMs);
    std::printf("(b) walk of %d rows x 8 columns, one row per request, median of %d\n", layerRows, walks);
    std::printf("    layer Get row by row    %8.2f ms\n", wl);
    std::printf("    snmptable -CB (%d rows) %8.2f ms\n", toolRows, wt);
    std::printf("    ratio layer/snmptable   %8.3f  (goal <= 1.00)\n", wl / wt);
    return layerRows == kRows && toolRows == kRows ? 0 : 2;
}
