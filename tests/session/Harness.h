#pragma once

#include "FakeConnection.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "MiniPbx.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "console/Console.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "link/LinkDispatcher.h"
#include "session/CAttendantState.h"
#include "session/CLogSession.h"
#include "session/CSysInfoLoader.h"
#include "session/LogStatusModel.h"

// The real console against a MiniPbx on a virtual clock.
struct Harness
{
    explicit Harness(bool lan = true)
        : console(timers, ui, clock,
                  [this](CLinkPort &l, OperatorUi &) {
                      auto c = std::make_unique<FakeConnection>(l);
                      connection = c.get();
                      return c;
                  })
        , link(console.link())
        , pbx(link)
        , stations(console.stations())
        , lines(console.coLines())
        , status(console.logStatus())
        , attendant(console.attendant())
        , dispatch(console.dispatcher())
        , isLan(lan)
    {
        connection->setTransport(&pbx);
        console.setConnectionType(lan ? PbxConnection::Lan : PbxConnection::Serial);
        console.connectCommand();
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
    ManualClock clock;
    FakeConnection *connection = nullptr;
    Console console;
    CLinkPort &link;
    MiniPbx pbx;
    CExtStatusList &stations;
    CTrkStatusList &lines;
    LogStatusModel &status;
    CAttendantState &attendant;
    LinkDispatcher &dispatch;
    bool isLan;
    int lanDisconnects = 0;
};
