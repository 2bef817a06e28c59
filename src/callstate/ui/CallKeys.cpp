#include "callstate/ui/CallKeys.h"

#include "callstate/CAttendantCalls.h"

const QList<CallKeys::Binding> &CallKeys::windowKeys()
{
    static const QList<Binding> keys = {
        {find(), QStringLiteral("#:key_find_station"), -1},
        {answerOldest(), QStringLiteral("#:key_answer_oldest"), -1},
        {focusQueue(), QStringLiteral("#:key_focus_queue"), -1},
        {focusStations(), QStringLiteral("#:key_focus_stations"), -1},
        {focusLines(), QStringLiteral("#:key_focus_lines"), -1},
    };
    return keys;
}

const QList<CallKeys::Binding> &CallKeys::operationKeys()
{
    static const QList<Binding> keys = {
        {QKeySequence(Qt::CTRL | Qt::Key_D), QStringLiteral("#:key_make_call"), CAttendantCalls::MakeCall},
        {QKeySequence(Qt::CTRL | Qt::Key_P), QStringLiteral("#:key_pickup"), CAttendantCalls::PickUp},
        {QKeySequence(Qt::CTRL | Qt::Key_B), QStringLiteral("#:key_call_back"), CAttendantCalls::CallBack},
        {QKeySequence(Qt::CTRL | Qt::Key_K), QStringLiteral("#:key_camp_on"), CAttendantCalls::CampOn},
        {QKeySequence(Qt::CTRL | Qt::Key_I), QStringLiteral("#:key_intrusion"), CAttendantCalls::Intrusion},
        {QKeySequence(Qt::CTRL | Qt::Key_T), QStringLiteral("#:key_start_transfer"), CAttendantCalls::StartTransfer},
    };
    return keys;
}

int CallKeys::operationFor(const QKeySequence &pressed)
{
    for (const Binding &b : operationKeys()) {
        if (b.key == pressed)
            return b.operation;
    }
    return -1;
}

QKeySequence CallKeys::keyOf(int operation)
{
    for (const Binding &b : operationKeys()) {
        if (b.operation == operation)
            return b.key;
    }
    return {};
}
