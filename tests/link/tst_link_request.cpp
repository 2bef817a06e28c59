#include "FakeTransport.h"
#include "Recorders.h"

#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "link/InfoBatch.h"
#include "link/SpeedBinRecord.h"
#include "ManualTimerHost.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

using Encoder = std::function<bool(CLinkRequest &)>;
Q_DECLARE_METATYPE(Encoder)

class TestLinkRequest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        m_link.reset();
        m_lan.reset();
        m_timers.reset();
    }

    void init()
    {
        m_timers = std::make_unique<ManualTimerHost>();
        m_link = std::make_unique<CLinkPort>(*m_timers);
        m_lan = std::make_unique<FakeTransport>();
        m_link->setLanConnection(m_lan.get());
        Trace::switches().clearAll();
    }

    void encoders_data()
    {
        QTest::addColumn<Encoder>("encode");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("trace");
        auto row = [](const char *name, Encoder e, const char *bytes, const QString &trace) {
            QTest::newRow(name) << e << hex(bytes) << trace;
        };
        row("LOG_OFF_REQ", [](CLinkRequest &r) { return r.LOG_OFF_REQ(); }, "00 03", "LOG_OFF_REQ");
        row("LOG_STATE_REQ", [](CLinkRequest &r) { return r.LOG_STATE_REQ(); }, "00 05", "LOG_STATE_REQ");
        row("LOG_Alive", [](CLinkRequest &r) { return r.LOG_Alive(); }, "00 06", QString());
        row("LOG_VersionReq", [](CLinkRequest &r) { return r.LOG_VersionReq(); }, "00 08", "LOG_VersionReq");
        row("LOG_PacketmissAck", [](CLinkRequest &r) { return r.LOG_PacketmissAck(); }, "00 0A", "LOG_PacketmissAck");
        row("LOG_ON_Request", [](CLinkRequest &r) { return r.LOG_ON_Request(); }, "00 0B", "LOG_ON_Request");
        row("LOG_Command", [](CLinkRequest &r) { return r.LOG_Command(); }, "00 0B", "LOG_Command");
        row("LOG_LifeTime", [](CLinkRequest &r) { return r.LOG_LifeTime(); }, "00 0C", "LOG_LifeTime");
        row("ping answer", [](CLinkRequest &r) { return r.Send_PING_Response_to_Varo(); }, "00 0F", "Send_PING_Response_to_Varo");
        row("SYSI_EXTNUMS_REQ", [](CLinkRequest &r) { return r.SYSI_EXTNUMS_REQ(); }, "01 01", "SYSI_EXTNUMS_REQ");
        row("SYSI_TRKNUMS_REQ", [](CLinkRequest &r) { return r.SYSI_TRKNUMS_REQ(); }, "01 02", "SYSI_TRKNUMS_REQ");
        row("MESKPARA_TrkBaseNumber", [](CLinkRequest &r) { return r.MESKPARA_TrkBaseNumber(); }, "01 04", "MESKPARA_TrkBaseNumber");
        row("SYSI_MyID", [](CLinkRequest &r) { return r.SYSI_MyID(); }, "01 05", "SYSI_MyID");
        row("SYSI_MpbVerS", [](CLinkRequest &r) { return r.SYSI_MpbVerS(); }, "01 07", "SYSI_MpbVerS");
        row("SYSI_MpbVerL", [](CLinkRequest &r) { return r.SYSI_MpbVerL(); }, "01 08", "SYSI_MpbVerL");
        row("SYSI_MpbNation", [](CLinkRequest &r) { return r.SYSI_MpbNation(); }, "01 09", "SYSI_MpbNation");
        row("SYSI_CoNameNum", [](CLinkRequest &r) { return r.SYSI_CoNameNum(); }, "01 0A", "SYSI_CoNameNum");
        row("IntPageNum", [](CLinkRequest &r) { return r.IntPageNum(); }, "01 0B", "IntPageNum");
        row("SYSI_Sysspdrange", [](CLinkRequest &r) { return r.SYSI_Sysspdrange(); }, "01 0C", "SYSI_Sysspdrange");
        row("SYSI_MeskTime", [](CLinkRequest &r) { return r.SYSI_MeskTime(); }, "01 0D", "SYSI_MeskTime");
        row("MESKPARA_STATUSCLEAR", [](CLinkRequest &r) { return r.MESKPARA_STATUSCLEAR(); }, "02 01", "MESKPARA_STATUSCLEAR");
        row("MESKPARA_STATUSTIME", [](CLinkRequest &r) { return r.MESKPARA_STATUSTIME(3, 1, 20); }, "02 02 03 01 14",
            "MESKPARA_STATUSTIME:period: 3.min 1.max14.");
        row("EXTI_Asc", [](CLinkRequest &r) { return r.EXTI_Asc(7); }, "03 01 00 07", "EXTI_Asc:  7,");
        row("EXTI_MeskState", [](CLinkRequest &r) { return r.EXTI_MeskState(300); }, "03 02 01 2C", "EXTI_MeskState:300,");
        row("EXTI_Number", [](CLinkRequest &r) { return r.EXTI_Number(2); }, "03 03 00 02", "EXTI_Number:2,");
        row("EXTI_Name", [](CLinkRequest &r) { return r.EXTI_Name(2); }, "03 04 00 02", "EXTI_Name:2,");
        row("EXTI_Multi2", [](CLinkRequest &r) { return r.EXTI_Multi2(12); }, "03 08 00 0C", "EXTI_Multi2(12,)");
        row("TRKI_Asc", [](CLinkRequest &r) { return r.TRKI_Asc(4); }, "04 01 00 04", "TRKI_Asc:4,");
        row("TRKI_MeskState", [](CLinkRequest &r) { return r.TRKI_MeskState(4); }, "04 02 00 04", "TRKI_MeskState:4,");
        row("TRKI_CallerID", [](CLinkRequest &r) { return r.TRKI_CallerID(4); }, "04 03 00 04", "TRKI_CallerID:4,");
        row("TRKI_Coname traces the index", [](CLinkRequest &r) { return r.TRKI_Coname(0); }, "04 04 00 01", "TRKI_Coname:0,");
        row("DYNBTN_DSS", [](CLinkRequest &r) { return r.DYNBTN_DSS(9); }, "05 02 00 2D 00 0A", "DYNBTN_DSS:45, 10,");
        row("DYNBTN_DLS", [](CLinkRequest &r) { return r.DYNBTN_DLS(0); }, "05 03 00 2D 00 01", "DYNBTN_DLS:45,1,");
        row("DYNBTN_CoGrp", [](CLinkRequest &r) { return r.DYNBTN_CoGrp(3); }, "05 04 00 2D 00 03", "DYNBTN_CoGrp:45,3,");
        row("DYNBTN_General LOOP", [](CLinkRequest &r) { return r.DYNBTN_General(0); }, "05 05 00 2D 00", "DYNBTN_General:45,LOOP,");
        row("DYNBTN_General Intrusion", [](CLinkRequest &r) { return r.DYNBTN_General(1); }, "05 05 00 2D 01", "DYNBTN_General:45,Intrusion,");
        row("ADM_StaNo", [](CLinkRequest &r) { return r.ADM_StaNo(5, 0x0123); }, "06 01 00 05 01 23", "ADM_StaNo:5, 123.");
        row("EVT_Ext", [](CLinkRequest &r) { return r.EVT_Ext(5, 1, 2, 0xAB); }, "07 01 00 05 01 02 AB", "EVT_Ext:5,01.02.ab");
        row("EVT_Trk", [](CLinkRequest &r) { return r.EVT_Trk(2, 16, 0, 0); }, "07 02 00 02 10 00 00", "EVT_Trk:2,10.00.00");
        row("ATDI_DayNight", [](CLinkRequest &r) { return r.ATDI_DayNight(); }, "09 01", "ATDI_DayNight");
        row("ATDI_BGM", [](CLinkRequest &r) { return r.ATDI_BGM(); }, "09 02", "ATDI_BGM");
        row("ATDI_ExtWakeup", [](CLinkRequest &r) { return r.ATDI_ExtWakeup(21); }, "09 03 00 15", "ATDI_ExtWakeup:21,");
        row("ATDI_ExtTempCos", [](CLinkRequest &r) { return r.ATDI_ExtTempCos(21); }, "09 04 00 15", "ATDI_ExtTempCos:21,");
        row("EXTI_Wakeup traces the index", [](CLinkRequest &r) { return r.EXTI_Wakeup(20); }, "09 06 00 15", "EXTI_Wakeup(20,)");
        row("EXTI_Tempcos", [](CLinkRequest &r) { return r.EXTI_Tempcos(21); }, "09 07 00 15", "EXTI_Tempcos(21,)");
        row("SPDI_Req", [](CLinkRequest &r) { return r.SPDI_Req(2001); }, "0A 01 07 D1", "SPDI_Req:2001,");
        row("SCTL_RestartExt", [](CLinkRequest &r) { return r.SCTL_RestartExt(0); }, "0B 01 00 01", "SCTL_RestartExt:1,");
        row("SCTL_RestartTrk", [](CLinkRequest &r) { return r.SCTL_RestartTrk(3); }, "0B 02 00 03", "SCTL_RestartTrk:3,");
        row("SCTL_LcdDaytime", [](CLinkRequest &r) { return r.SCTL_LcdDaytime(); }, "0B 03", "SCTL_LcdDaytime");
        row("FeatureEvt", [](CLinkRequest &r) { return r.FeatureEvt(7, 1); }, "82 07 01", "FeatureEvt:7,");
    }
    void encoders()
    {
        QFETCH(Encoder, encode);
        QFETCH(QByteArray, payload);
        QFETCH(QString, trace);
        TraceRecorder recorder;
        CLinkRequest request(*m_link);
        QVERIFY(encode(request));
        QCOMPARE(m_lan->payloads().size(), 1);
        QCOMPARE(m_lan->payloads().first().toHex(' '), payload.toHex(' '));
        QVERIFY(request.isEmpty());
        const QStringList lines = recorder.texts();
        if (trace.isEmpty()) {
            QVERIFY(lines.isEmpty());
        } else {
            QCOMPARE(lines, QStringList{trace});
            QCOMPARE(recorder.lines.first().first, 1);
        }
    }

    void failedSendEmptiesTheBuilder()
    {
        m_lan->accept = false;
        CLinkRequest request(*m_link);
        QVERIFY(!request.EXTI_Asc(1));
        QVERIFY(request.isEmpty());
        m_lan->accept = true;
        QVERIFY(request.LOG_Alive());
        QCOMPARE(m_lan->payloads().first(), hex("00 06"));
    }

    void everyRequestFailsWithoutTransport()
    {
        m_lan->open = false;
        CLinkRequest request(*m_link);
        QVERIFY(!request.LOG_ON_Request());
        QVERIFY(!request.SYSI_MyID());
        QVERIFY(!request.keySequence("T021"));
        QVERIFY(m_lan->frames.isEmpty());
    }

    void logOnAndOffStartTheirWaits()
    {
        QSignalSpy on(m_link.get(), &CLinkPort::logOnRequested);
        QSignalSpy off(m_link.get(), &CLinkPort::logOffRequested);
        CLinkRequest request(*m_link);
        request.LOG_ON_Request();
        request.LOG_Command();
        request.LOG_OFF_REQ();
        QCOMPARE(on.count(), 2);
        QCOMPARE(off.count(), 1);
    }

    void dynBtnSequenceWraps()
    {
        CLinkRequest request(*m_link);
        QVERIFY(request.DYNBTN_DSS(0));
        QVERIFY(request.DYNBTN_DLS(0));
        QVERIFY(request.DYNBTN_General(0));
        QVERIFY(request.DYNBTN_CoGrp(1));
        QVERIFY(request.DYNBTN_DSS(0));
        QList<int> seq;
        for (const QByteArray &p : m_lan->payloads())
            seq.append((quint8(p.at(2)) << 8) | quint8(p.at(3)));
        QCOMPARE(seq, (QList<int>{45, 46, 47, 44, 45}));
    }

    void dynBtnGeneralUnknownKindSendsNothing()
    {
        CLinkRequest request(*m_link);
        QVERIFY(!request.DYNBTN_General(2));
        QVERIFY(m_lan->frames.isEmpty());
        // The sequence did not advance.
        QVERIFY(request.DYNBTN_General(0));
        QCOMPARE(int(quint8(m_lan->payloads().first().at(3))), 45);
    }

    void txSwitchTracesBytes()
    {
        TraceRecorder recorder;
        Trace::switches().txAll = true;
        CLinkRequest request(*m_link);
        request.EXTI_Asc(1);
        QCOMPARE(recorder.texts(), QStringList({"EXTI_Asc:  1,", "03.01.00.01."}));
    }

    void keyStrings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("codes");
        QTest::newRow("T021{AB}H") << "T021{AB}H" << true << hex("63 99 91 90 91 90 91 91 6C");
        QTest::newRow("text entry specials") << "{ :,.QZ0}" << true
                                             << hex("9A 90 9A 91 9A 92 90 92 90 90 90 91 99 99");
        QTest::newRow("letter groups") << "{PSWY}" << true << hex("96 90 96 92 98 90 98 92");
        QTest::newRow("special keys") << "<#09*FPS>" << true << hex("9B 99 98 68 69 66 9A");
        QTest::newRow("every plain key") << "1234567890*#ABCDFHIKMNORSTU" << true
                                         << hex("90 91 92 93 94 95 96 97 98 99 9A 9B 9C 9D 9E 9F 69 6C 6A 66 6B 68 65 62 64 63 67");
        QTest::newRow("empty") << "" << true << QByteArray();
        QTest::newRow("lower case outside") << "T02a" << false << QByteArray();
        QTest::newRow("lower case in braces") << "T{ab}" << false << QByteArray();
        QTest::newRow("letter without key") << "TE" << false << QByteArray();
        QTest::newRow("unclosed brace") << "T{AB" << false << QByteArray();
        QTest::newRow("nested open") << "{A<1>}" << false << QByteArray();
        QTest::newRow("wrong close") << "{A>" << false << QByteArray();
        QTest::newRow("stray close") << "T}" << false << QByteArray();
        QTest::newRow("bad special") << "<A>" << false << QByteArray();
        QTest::newRow("non-latin") << QString::fromUtf8("T\u00e9") << false << QByteArray();
    }
    void keyStrings()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QByteArray, codes);
        QByteArray out;
        QCOMPARE(CLinkRequest::expandKeyString(text, out), ok);
        if (ok)
            QCOMPARE(out.toHex(' '), codes.toHex(' '));
        CLinkRequest request(*m_link);
        QCOMPARE(request.keySequence(text), ok);
        if (!ok || codes.isEmpty()) {
            QVERIFY(m_lan->frames.isEmpty());
        } else {
            QCOMPARE(m_lan->payloads().size(), 1);
            QCOMPARE(m_lan->payloads().first(), QByteArray(1, '\x81') + char(codes.size()) + codes);
        }
    }

    void longKeySequenceIsSplitAt61()
    {
        TraceRecorder recorder;
        Trace::switches().pktuEvent = true;
        CLinkRequest request(*m_link);
        QVERIFY(request.keySequence(QString(130, QLatin1Char('1'))));
        const QList<QByteArray> p = m_lan->payloads();
        QCOMPARE(p.size(), 3);
        QCOMPARE(p.at(0).size(), 63);
        QCOMPARE(int(quint8(p.at(0).at(1))), 61);
        QCOMPARE(int(quint8(p.at(2).at(1))), 8);
        const QStringList lines = recorder.texts();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(2), QStringLiteral("MY_MULTIPLE_PKTU_EVENT:90.90.90.90.90.90.90.90."));
        QCOMPARE(recorder.lines.first().first, 5);
    }

    void commandTextSendsLoopThenKeys()
    {
        CLinkRequest request(*m_link);
        QVERIFY(request.commandText("123"));
        const QList<QByteArray> p = m_lan->payloads();
        QCOMPARE(p.size(), 2);
        QCOMPARE(p.at(0), hex("05 05 00 2D 00"));
        QCOMPARE(p.at(1), hex("81 03 90 91 92"));
        m_lan->open = false;
        QVERIFY(!request.commandText("123"));
    }

    void speedBinRecordEncoding_data()
    {
        QTest::addColumn<int>("bin");
        QTest::addColumn<int>("coType");
        QTest::addColumn<int>("coNumber");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("bin 5 line 3 0123 AB") << 5 << 1 << 3 << "0123" << "AB" << hex("0A 02 09 00 05 01 03 A1 23 00 41 42");
        QTest::newRow("odd digits") << 2000 << 2 << 1 << "*#P" << "" << hex("0A 02 07 07 D0 02 01 BC D0 00");
        QTest::newRow("empty") << 1 << 0 << 0 << "" << "" << hex("0A 02 05 00 01 00 00 00");
    }
    void speedBinRecordEncoding()
    {
        QFETCH(int, bin);
        QFETCH(int, coType);
        QFETCH(int, coNumber);
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        SpeedBinRecord r;
        r.bin = quint16(bin);
        r.coType = quint8(coType);
        r.coNumber = quint8(coNumber);
        r.number = number;
        r.name = name;
        QCOMPARE(r.encode().toHex(' '), bytes.toHex(' '));
        const SpeedBinRecord back = SpeedBinRecord::decode(bytes, 0, int(bytes.size()));
        QCOMPARE(back.bin, r.bin);
        QCOMPARE(back.coType, r.coType);
        QCOMPARE(back.coNumber, r.coNumber);
        QCOMPARE(back.number, number);
        QCOMPARE(back.name, name);

        TraceRecorder recorder;
        CLinkRequest request(*m_link);
        QVERIFY(request.SPDI_Write(r));
        QCOMPARE(m_lan->payloads().first(), bytes);
    }

    void speedBinWriteTrace()
    {
        TraceRecorder recorder;
        CLinkRequest request(*m_link);
        SpeedBinRecord r;
        r.bin = 5;
        r.coType = SpeedBinRecord::Line;
        r.coNumber = 3;
        r.number = "0123";
        r.name = "AB";
        request.SPDI_Write(r);
        r.coType = SpeedBinRecord::Group;
        request.SPDI_Write(r);
        r.coType = SpeedBinRecord::None;
        request.SPDI_Write(r);
        QCOMPARE(recorder.texts(), QStringList({"SPDI_Write:5,Line03,:0123:AB", "SPDI_Write:5,Grp.03,:0123:AB",
                                                 "SPDI_Write:5,:0123:AB"}));
    }

    void speedBinReplyModes()
    {
        // A zero low nibble mid-number ends the digits; bytes up to the zero are skipped.
        const QByteArray reply = hex("0A 02 0A 00 07 00 00 12 30 55 00 4E 4F 00 58");
        const SpeedBinRecord r = SpeedBinRecord::decode(reply, 0, int(reply.size()));
        QCOMPARE(r.bin, quint16(7));
        QCOMPARE(r.number, QStringLiteral("123"));
        QCOMPARE(r.name, QStringLiteral("NO"));
    }

    void stationBatches_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<quint32>("version");
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("code");
        QTest::newRow("16 as 15 + 1, old PBX") << 16 << quint32(0x0102) << QList<int>{15, 1} << 0x0305;
        QTest::newRow("15 in one, new PBX") << 15 << quint32(0x00010103) << QList<int>{15} << 0x0309;
        QTest::newRow("31 as 15 + 15 + 1") << 31 << quint32(0x0200) << QList<int>{15, 15, 1} << 0x0309;
        QTest::newRow("one") << 1 << quint32(0) << QList<int>{1} << 0x0305;
    }
    void stationBatches()
    {
        QFETCH(int, items);
        QFETCH(quint32, version);
        QFETCH(QList<int>, sizes);
        QFETCH(int, code);
        m_link->setVersionSource([version] { return version; });
        InfoBatch batch(*m_link, InfoBatch::Stations);
        for (int i = 0; i < items; ++i)
            QVERIFY(batch.add(quint16(i + 1), i == items - 1));
        const QList<QByteArray> p = m_lan->payloads();
        QCOMPARE(p.size(), sizes.size());
        QCOMPARE(batch.requestsSent(), sizes.size());
        int port = 1;
        for (int i = 0; i < sizes.size(); ++i) {
            QCOMPARE(p.at(i).size(), sizes.at(i) * 4);
            for (int k = 0; k < sizes.at(i); ++k, ++port) {
                QCOMPARE((quint8(p.at(i).at(k * 4)) << 8) | quint8(p.at(i).at(k * 4 + 1)), code);
                QCOMPARE((quint8(p.at(i).at(k * 4 + 2)) << 8) | quint8(p.at(i).at(k * 4 + 3)), port);
            }
        }
    }

    void batchTraces()
    {
        TraceRecorder recorder;
        m_link->setVersionSource([] { return quint32(0x0103); });
        InfoBatch stations(*m_link, InfoBatch::Stations);
        stations.add(1, false);
        stations.add(12, true);
        InfoBatch lines(*m_link, InfoBatch::CoLines);
        lines.add(3, true);
        QCOMPARE(recorder.texts(), QStringList({"EXTI_Multi3:0001,0012,", "TRKI_Conamebin:003,"}));
        QCOMPARE(m_lan->payloads().last(), hex("04 05 00 03"));
        m_link->setVersionSource([] { return quint32(0x0102); });
        recorder.clear();
        InfoBatch old(*m_link, InfoBatch::Stations);
        old.add(2, true);
        QCOMPARE(recorder.texts(), QStringList({"EXTI_Multi1:0002,"}));
    }

    void twentyLinesGoAsFifteenAndFive()
    {
        InfoBatch lines(*m_link, InfoBatch::CoLines);
        for (int i = 1; i <= 20; ++i)
            lines.add(quint16(i), i == 20);
        const QList<QByteArray> p = m_lan->payloads();
        QCOMPARE(p.size(), 2);
        QCOMPARE(p.at(0).size(), 60);
        QCOMPARE(p.at(1).size(), 20);
    }

private:
    std::unique_ptr<ManualTimerHost> m_timers;
    std::unique_ptr<CLinkPort> m_link;
    std::unique_ptr<FakeTransport> m_lan;
};

QTEST_GUILESS_MAIN(TestLinkRequest)
#include "tst_link_request.moc"
