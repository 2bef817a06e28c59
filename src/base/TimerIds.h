#pragma once

// Identifiers of the main window's timers; each is forwarded to its owner.
namespace TimerId {
constexpr int Frame = 1;             // a frame that stops arriving is discarded
constexpr int LogOnWait = 3;         // IDT_G1_LOGONWAIT, 30000 ms
constexpr int LogOffWait = 4;        // IDT_G1_LOGOFFWAIT, 3000 ms
constexpr int TransmitIdle = 5;      // 17768 ms: send LOG_Alive
constexpr int ReceiveIdle = 6;       // IDT_G1_MESKIDLE, 17768 ms
constexpr int ReceiveConfirm = 7;    // IDT_G1_MESKIDLE_CONFIRM, 30000 ms
constexpr int LogOffCompletion = 8;  // 1000 ms, retried while dialogs are open
constexpr int SysInfoWatchdog = 9;   // 10000 ms
constexpr int SysInfoNextStep = 10;  // 1600 ms, or 4 ms when a step had nothing to do
constexpr int CallTimer = 11;        // key-telephone display call timer, 1 s
constexpr int Blink = 13;            // key-telephone lamp blink, 500 ms
constexpr int SpeedSyncStep = 14;
constexpr int SpeedSyncWatchdog = 15;
constexpr int Reconnect = 17;        // the next log-on after a loss, 2 s doubling to 60 s
constexpr int MailTimeout = 28567;
constexpr int LastMainWindowTimer = 18;
} // namespace TimerId
