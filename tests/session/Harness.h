#pragma once

#include "MiniPbx.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "session/CAttendantState.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "session/CLogSession.h"
#include "session/CSysInfoLoader.h"
#include "link/LinkDispatcher.h"
#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"
#include "session/LogStatusModel.h"
#include "base/TimerHost.h"

// The session and download wired as in the console, against a MiniPbx on a
// virtual clock.
struct Harness
{
    explicit Harness(bool lan = true)
        : link(timers, &ui)
        , pbx(link)
        , stations(link)
        , lines(link)
        , attendant(link, timers, ui, stations, lines, status)
        , logDecoder(&attendant.session())
        , infoDecoder(&attendant.loader())
        , isLan(lan)
    {
        if (lan)
            link.setLanConnection(&pbx);
        else
            link.setSerialPort(&pbx);
        dispatch.routes().log = &logDecoder;
        dispatch.routes().sysInfo = &infoDecoder;
        dispatch.routes().stations = &stations;
        dispatch.routes().coLines = &lines;
        dispatch.setLoggedOnQuery([this] { return attendant.session().isLoggedOn(); });
        dispatch.setPayloadObserver([this] { attendant.session().payloadReceived(); });
        QObject::connect(&link, &CLinkPort::dataReceived, &link, [this](const QByteArray &p) { dispatch.dispatch(p); });
        attendant.setLanQuery([this] { return isLan; });
        QObject::connect(&attendant, &CAttendantState::lanDisconnectRequested, &link, [this] {
            ++lanDisconnects;
            pbx.open = false;
        });
    }

    CLinkRequest request() { return CLinkRequest(link); }
    CLogSession &session() { return attendant.session(); }
    CSysInfoLoader &loader() { return attendant.loader(); }

    // Log on and answer everything at once.
    void logOn()
    {
        request().LOG_ON_Request();
        pbx.pump();
    }
    void advance(qint64 ms)
    {
        timers.advance(ms);
        pbx.pump();
    }

    ManualTimerHost timers;
    OperatorUiRecorder ui;
    CLinkPort link;
    MiniPbx pbx;
    CExtStatusList stations;
    CTrkStatusList lines;
    LogStatusModel status;
    CAttendantState attendant;
    LogEventDecoder logDecoder;
    SysInfoDecoder infoDecoder;
    LinkDispatcher dispatch;
    bool isLan;
    int lanDisconnects = 0;
};
