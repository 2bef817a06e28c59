#include "MainMenu.h"

namespace {

MenuItemDefinition item(const char *key, Command command, const QKeySequence &shortcut = {})
{
    return MenuItemDefinition{QString::fromUtf8(key), command, shortcut, {}};
}

MenuItemDefinition separator()
{
    return MenuItemDefinition{};
}

MenuItemDefinition popup(const char *key, QList<MenuItemDefinition> items)
{
    return MenuItemDefinition{QString::fromUtf8(key), Command::None, {}, std::move(items)};
}

QList<MenuItemDefinition> buildDefinition()
{
    return {
        popup("#:file_MENU(&F)",
              {
                  item("#:excel_import_MENU(&E)", Command::Import),
                  item("#:db_export_MENU(&D)", Command::Export),
                  separator(),
                  item("#:print_MENU(&P)", Command::Print),
                  separator(),
                  item("#:exit_MENU(&X)", Command::Exit),
              }),
        popup("#:connection_MENU(&C)",
              {
                  item("#:zarto_log_on_MENU(&P)", Command::LogOn),
                  item("#:zarto_log_off_MENU(&C)", Command::LogOff),
                  separator(),
                  item("#:varo_connect_MENU(&L)", Command::Connect),
                  item("#:varo_disconnect_MENU(&D)", Command::Disconnect),
                  separator(),
                  item("#:varo_connect_settings_MENU(&K)", Command::ConnectionSettings),
              }),
        popup("#:atd_program_MENU(&P)",
              {
                  item("#:atd_clock_setting_MENU(&C)", Command::ClockSetting),
                  item("#:atd_wake_up_MENU(&W)", Command::WakeUp),
                  item("#:atd_cancel_wake_up_MENU(&U)", Command::CancelWakeUp),
                  item("#:atd_music_selection_MENU(&I)", Command::MusicSelection),
                  item("#:atd_custom_msg_MENU(&M)", Command::CustomMessage),
                  item("#:atd_sys_greetings_MENU(&G)", Command::SystemGreetings),
                  item("#:atd_temp_COS_MENU(&O)", Command::TemporaryCos),
                  item("#:atd_atd_cancel_MENU(&A)", Command::AttendantCancel),
                  separator(),
                  popup("#:atd_date_time_format_MENU(&D)",
                        {
                            MenuItemDefinition{MenuText::DateFormat, Command::DateFormat, {}, {}},
                            MenuItemDefinition{MenuText::TimeFormat, Command::TimeFormat, {}, {}},
                        }),
              }),
        popup("#:option_MENU(&O)",
              {
                  item("#:language_MENU(&L)", Command::Language),
                  item("#:Server_Name_Menu(&S)", Command::MailServer),
                  separator(),
                  MenuItemDefinition{MenuText::CallInfo, Command::CallInfo, {}, {}},
                  item("#:reconnect_MENU(&R)", Command::Reconnect),
              }),
        popup("#:view_MENU(&V)",
              {
                  item("#:view_toolbar_MENU(&T)", Command::ViewToolBar, QKeySequence(Qt::ALT | Qt::Key_1)),
                  item("#:view_statusbar_MENU(&S)", Command::ViewStatusBar, QKeySequence(Qt::ALT | Qt::Key_2)),
                  item("#:view_lcdscreen_MENU(&L)", Command::ViewLcdBar, QKeySequence(Qt::ALT | Qt::Key_3)),
                  separator(),
                  item("#:view_pktu_MENU(&K)", Command::ViewKeyTelephone, QKeySequence(Qt::ALT | Qt::Key_4)),
                  item("#:view_station_MENU(&A)", Command::ViewStationWindow, QKeySequence(Qt::ALT | Qt::Key_5)),
                  item("#:view_trunk_MENU(&C)", Command::ViewCoWindow, QKeySequence(Qt::ALT | Qt::Key_6)),
                  item("#:view_queue_MENU(&Q)", Command::ViewQueue, QKeySequence(Qt::ALT | Qt::Key_7)),
                  separator(),
                  item("#:view_ext_db_MENU(&D)", Command::ViewStationDirectory, QKeySequence(Qt::ALT | Qt::Key_8)),
                  item("#:view_trk_db_MENU(&O)", Command::ViewCoDirectory, QKeySequence(Qt::ALT | Qt::Key_9)),
                  item("#:view_spd_db_MENU(&B)", Command::ViewSpeedBinDirectory, QKeySequence(Qt::ALT | Qt::Key_0)),
                  item("#:view_phoneno_db_MENU(&P)", Command::ViewPhoneNumberDirectory,
                       QKeySequence(Qt::ALT | Qt::Key_Minus)),
                  separator(),
                  item("#:view_mini_pktu_MENU(&U)", Command::SmallKeyPad, QKeySequence(Qt::Key_F12)),
                  item("#:paging_MENU(&M)", Command::Paging),
              }),
        popup("#:window_MENU(&W)",
              {
                  item("#:cascade_MENU(&C)", Command::Cascade),
                  item("#:tile_MENU(&T)", Command::Tile),
                  item("#:arrange_icon_MENU(&A)", Command::ArrangeIcons),
              }),
        popup("#:help_MENU(&H)",
              {
                  item("#:help_topics_MENU(&H)", Command::HelpTopics),
                  separator(),
                  item("#:about_zarto_MENU(&A)", Command::About),
              }),
    };
}

} // namespace

const QList<MenuItemDefinition> &mainMenuDefinition()
{
    static const QList<MenuItemDefinition> definition = buildDefinition();
    return definition;
}

QKeySequence acceleratorOf(Command command)
{
    switch (command) {
    case Command::Help:
        return QKeySequence(Qt::Key_F1);
    case Command::ContextHelp:
        return QKeySequence(Qt::SHIFT | Qt::Key_F1);
    case Command::NextPane:
        return QKeySequence(Qt::Key_F6);
    case Command::PreviousPane:
        return QKeySequence(Qt::SHIFT | Qt::Key_F6);
    default:
        return {};
    }
}
