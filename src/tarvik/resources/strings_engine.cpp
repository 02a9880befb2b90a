#include <array>

#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {

namespace {

// The operation engine: connection, log-in, transfers, event lists, status texts; and tarvik-cli.
// Ids 9500..9549 are new texts of this area.
constexpr std::array kEntries = std::to_array<kr::StringEntry>({
    {205,
     "Tarvik can not establish communication with the HCU or KR.\nQuit any other software that currently "
     "uses "
     "COM%u.\nQuit and re-start Tarvik.",
     "Tarvik kann keine Verbindung zur HCU oder zum KR herstellen.\nBeenden Sie jede andere Software, die "
     "gerade COM%u verwendet.\nBeenden Sie Tarvik und starten Sie es neu.",
     "Tarvik 无法与 HCU 或 KR 建立通信。\n请退出当前正在使用 COM%u 的其他软件。\n请退出并重新启动 Tarvik。"},
    {206,
     "Communication error with the HCU or an KR during initialization of Tarvik.\nCheck that the HCU and all "
     "KRs are switched on and logged-in.\nCheck the RS-232 cable between PC and HCU or KR and try again.",
     "Kommunikationsfehler mit der HCU oder einem KR während der Initialisierung von Tarvik.\nPrüfen Sie, ob "
     "die HCU und alle KRs eingeschaltet und angemeldet sind.\nPrüfen Sie das RS-232-Kabel zwischen PC und "
     "HCU "
     "oder KR und versuchen Sie es erneut.",
     "Tarvik 初始化期间与 HCU 或 KR 通信出错。\n请检查 HCU 和所有 KR 是否已开机并已登录。\n请检查 PC 与 HCU "
     "或 KR "
     "之间的 RS-232 电缆，然后重试。"},
    {208,
     "HCU or KR is not ready or baud rate not correct.\nCheck if HCU or KR is online and check the baud "
     "rates "
     "of HCU, KR and in the link file.",
     "HCU oder KR ist nicht bereit oder die Baudrate ist falsch.\nPrüfen Sie, ob HCU oder KR online ist, und "
     "prüfen Sie die Baudraten von HCU, KR und in der Verbindungsdatei.",
     "HCU 或 KR 未就绪或波特率不正确。\n请检查 HCU 或 KR 是否在线，并检查 HCU、KR 及连接文件中的波特率。"},
    {210, "Modem connection failed.\nCheck the phone cabel.",
     "Modemverbindung fehlgeschlagen.\nPrüfen Sie das Telefonkabel.", "调制解调器连接失败。\n请检查电话线。"},
    {211,
     "The event-file %d can not be saved as data file on the PC.\nCheck the trace-file for further "
     "information.",
     "Die Ereignisdatei %d kann nicht als Datendatei auf dem PC gespeichert werden.\nWeitere Informationen "
     "finden Sie in der Trace-Datei.",
     "事件文件 %d 无法作为数据文件保存到 PC 上。\n详细信息请查看跟踪文件。"},
    {212,
     "Tarvik receives no reply from the HCU or from an KR (time-out error).\nCheck the settings for \"%s\" "
     "and/or \"%s\" in the configuration-file %s. You may set different (higher) values for the time-out. "
     "Tarvik will then wait longer for replies of the HCU, KRs resp.\nQuit and re-start Tarvik",
     "Tarvik erhält keine Antwort von der HCU oder von einem KR (Zeitüberschreitung).\nPrüfen Sie die "
     "Einstellungen für \"%s\" und/oder \"%s\" in der Konfigurationsdatei %s. Sie können andere (höhere) "
     "Werte "
     "für das Zeitlimit einstellen. Tarvik wartet dann länger auf Antworten der HCU bzw. der KRs.\nBeenden "
     "Sie "
     "Tarvik und starten Sie es neu",
     "Tarvik 没有收到 HCU 或 KR 的应答（超时错误）。\n请检查 \"%s\" 和/或 \"%s\" 的设置（配置文件 %s）。"
     "您可以为超时设置不同的（更大的）值，Tarvik 将会更长时间地等待 HCU 或 KR 的应答。\n请退出并重新启动 "
     "Tarvik"},
    {213,
     "Tarvik can not establish communication with the HCU or KR.\nThe IP address \"%s\" is busy.\nQuit and "
     "re-start Tarvik later.",
     "Tarvik kann keine Verbindung zur HCU oder zum KR herstellen.\nDie IP-Adresse \"%s\" ist "
     "belegt.\nBeenden "
     "Sie Tarvik und starten Sie es später neu.",
     "Tarvik 无法与 HCU 或 KR 建立通信。\nIP 地址 \"%s\" 正忙。\n请退出并稍后重新启动 Tarvik。"},
    {214, "Tarvik can not create structure for communication.\nCheck available memory.",
     "Tarvik kann die Struktur für die Kommunikation nicht anlegen.\nPrüfen Sie den verfügbaren Speicher.",
     "Tarvik 无法创建通信结构。\n请检查可用内存。"},
    {216, "No files are stored in KR.", "Im KR sind keine Dateien gespeichert.", "KR 中没有存储任何文件。"},
    {217, "Modem hangup failed.", "Auflegen des Modems fehlgeschlagen.", "调制解调器挂断失败。"},
    {218, "Tarvik can not open connection to IP port %d.",
     "Tarvik kann keine Verbindung zum IP-Port %d öffnen.", "Tarvik 无法打开到 IP 端口 %d 的连接。"},
    {219, "Target modem is NOT ready.\nPlease try later again.",
     "Das Zielmodem ist NICHT bereit.\nBitte versuchen Sie es später noch einmal.",
     "目标调制解调器未就绪。\n请稍后重试。"},
    {225, "Error during reading of directory entries.\nCheck the trace-file for further information.",
     "Fehler beim Lesen der Verzeichniseinträge.\nWeitere Informationen finden Sie in der Trace-Datei.",
     "读取目录条目时出错。\n详细信息请查看跟踪文件。"},
    {248,
     "This version of Tarvik is only for SKR4100, CKR4100, MKR4100 and HCU4100 system.\nThis is a \"%s\" "
     "system.",
     "Diese Version von Tarvik ist nur für SKR4100-, CKR4100-, MKR4100- und HCU4100-Systeme.\nDies ist ein "
     "\"%s\"-System.",
     "此版本的 Tarvik 仅适用于 SKR4100、CKR4100、MKR4100 和 HCU4100 系统。\n这是一个 \"%s\" 系统。"},
    {275, "Error during HCU or KR login.\nCheck the trace-file for further information.",
     "Fehler bei der Anmeldung an HCU oder KR.\nWeitere Informationen finden Sie in der Trace-Datei.",
     "登录 HCU 或 KR 时出错。\n详细信息请查看跟踪文件。"},
    {276, "KR %d is NOT available.\nPlease select an other KR or try later.",
     "KR %d ist NICHT verfügbar.\nBitte wählen Sie einen anderen KR oder versuchen Sie es später.",
     "KR %d 不可用。\n请选择其他 KR 或稍后重试。"},
    {279,
     "This version of Tarvik does not support this firmware version.\nUnit name is %s. Firmware version is "
     "%.2f.",
     "Diese Version von Tarvik unterstützt diese Firmwareversion nicht.\nGerätename ist %s. Firmwareversion "
     "ist "
     "%.2f.",
     "此版本的 Tarvik 不支持该固件版本。\n设备名称为 %s。固件版本为 %.2f。"},
    {703, "Firmware %.2f is not supported with this Tarvik Version\nPlease use Tarvik %s.",
     "Firmware %.2f wird von dieser Tarvik-Version nicht unterstützt\nBitte verwenden Sie Tarvik %s.",
     "此 Tarvik 版本不支持固件 %.2f\n请使用 Tarvik %s。"},
    {330, "Initialization and HCU or KR Log-in.", "Initialisierung und Anmeldung an HCU oder KR.",
     "初始化并登录 HCU 或 KR。"},
    {331, "Reading event: %d of %d.", "Lese Ereignis: %d von %d.", "正在读取事件：%d / %d。"},
    {332, "Transfer event: %d of %d.", "Übertrage Ereignis: %d von %d.", "正在传输事件：%d / %d。"},
    {336, "Connecting to IP port ...", "Verbinde mit IP-Port ...", "正在连接 IP 端口 ..."},
    {337, "Connection OK.", "Verbindung OK.", "连接正常。"},
    {338, "Connection failed.", "Verbindung fehlgeschlagen.", "连接失败。"},
    {339, "Connecting to modem ...", "Verbinde mit Modem ...", "正在连接调制解调器 ..."},
    {347, "HCU or KR Log-out.", "Abmeldung von HCU oder KR.", "注销 HCU 或 KR。"},
    {357, "View event.", "Ereignis anzeigen.", "查看事件。"},
    {358, "Transfer all events.", "Alle Ereignisse übertragen.", "传输所有事件。"},
    {359, "Transfer single events.", "Einzelne Ereignisse übertragen.", "传输单个事件。"},
    {378, "Hangup modem connection.", "Modemverbindung auflegen.", "挂断调制解调器连接。"},
    {471, "Login", "Anmeldung", "登录"},
    {491, "Initializing modem...", "Initialisiere Modem...", "正在初始化调制解调器..."},
    {492, "Dialing...", "Wähle...", "正在拨号..."},
    {506, "Save as 8.3 files, enter max %d chars", "Als 8.3-Dateien speichern, max. %d Zeichen eingeben",
     "保存为 8.3 文件，最多输入 %d 个字符"},
    {616, "Waveform Files (*.vkr;*.vmx)|*.vkr; *.vmx|All Files (*.*)|*.*||",
     "Wellenform-Dateien (*.vkr;*.vmx)|*.vkr; *.vmx|Alle Dateien (*.*)|*.*||",
     "波形文件 (*.vkr;*.vmx)|*.vkr; *.vmx|所有文件 (*.*)|*.*||"},
    {617, "Waveform Files (*.skr)|*.skr|All Files (*.*)|*.*||",
     "Wellenform-Dateien (*.skr)|*.skr|Alle Dateien (*.*)|*.*||",
     "波形文件 (*.skr)|*.skr|所有文件 (*.*)|*.*||"},
    {618, "Waveform Files (*.xkr)|*.xkr|All Files (*.*)|*.*||",
     "Wellenform-Dateien (*.xkr)|*.xkr|Alle Dateien (*.*)|*.*||",
     "波形文件 (*.xkr)|*.xkr|所有文件 (*.*)|*.*||"},
    {619, "Waveform Files (*.xkr;*.bkr)|*.xkr; *.bkr|All Files (*.*)|*.*||",
     "Wellenform-Dateien (*.xkr;*.bkr)|*.xkr; *.bkr|Alle Dateien (*.*)|*.*||",
     "波形文件 (*.xkr;*.bkr)|*.xkr; *.bkr|所有文件 (*.*)|*.*||"},
    {637, "Please choose a target folder", "Bitte wählen Sie einen Zielordner", "请选择目标文件夹"},
    {9501,
     "Usage: tarvik-cli [connection file] [/d] [/l] [/q] [/i script] [/o output] [/m] [/?]\n"
     "                  [--recorder N] [--password XXXXX] [--transfer-all[=ROOT]] [--list-events]\n"
     "                  [--show NAME|list] [--export-params] [--export-hcu-params]\n"
     "                  [--erase-all] [--baseline] [--clear-flags] [--clear-hcu-flags] [--reset-alarms]\n"
     "                  [--reset-hcu-alarms] [--init-filter] [--self-test] [--hcu-self-test]\n"
     "                  [--clear-counters] [--sync-clock] [--new-password XXXXX]\n"
     "                  [--memory-management ring=on|off,mirror=on|off] [--recording start|stop]\n"
     "                  [--blasting-mode] [--vm-mode start|stop] [--kb-mode start|stop]\n"
     "                  [--alerting-test] [--erase-events N[,N...]]\n"
     "                  [--macro TEXT] [--macro-entry N] [--verbose] [--help]\n"
     "       tarvik-cli --new-tcp-document FILE HOST:PORT\n"
     "The operations run in the order given, after the log-in; then the program logs out.\n"
     "The password is taken from --password, else from TARVIK_PASSWORD, else the default when the\n"
     "settings suggest it. The exit status is 0 only when every operation succeeded.",
     "Aufruf: tarvik-cli [Verbindungsdatei] [/d] [/l] [/q] [/i Skript] [/o Ausgabe] [/m] [/?]\n"
     "                   [--recorder N] [--password XXXXX] [--transfer-all[=ROOT]] [--list-events]\n"
     "                   [--show NAME|list] [--export-params] [--export-hcu-params]\n"
     "                   [--erase-all] [--baseline] [--clear-flags] [--clear-hcu-flags] [--reset-alarms]\n"
     "                   [--reset-hcu-alarms] [--init-filter] [--self-test] [--hcu-self-test]\n"
     "                   [--clear-counters] [--sync-clock] [--new-password XXXXX]\n"
     "                   [--memory-management ring=on|off,mirror=on|off] [--recording start|stop]\n"
     "                   [--blasting-mode] [--vm-mode start|stop] [--kb-mode start|stop]\n"
     "                   [--alerting-test] [--erase-events N[,N...]]\n"
     "                   [--macro TEXT] [--macro-entry N] [--verbose] [--help]\n"
     "        tarvik-cli --new-tcp-document DATEI HOST:PORT\n"
     "Die Operationen laufen nach der Anmeldung in der angegebenen Reihenfolge; danach meldet sich das "
     "Programm ab.\nDas Passwort kommt aus --password, sonst aus TARVIK_PASSWORD, sonst ist es das "
     "Standardpasswort, wenn die\nEinstellungen es vorschlagen. Der Rückgabewert ist nur 0, wenn jede "
     "Operation gelungen ist.",
     "用法：tarvik-cli [连接文件] [/d] [/l] [/q] [/i 脚本] [/o 输出] [/m] [/?]\n"
     "                [--recorder N] [--password XXXXX] [--transfer-all[=ROOT]] [--list-events]\n"
     "                [--show NAME|list] [--export-params] [--export-hcu-params]\n"
     "                [--erase-all] [--baseline] [--clear-flags] [--clear-hcu-flags] [--reset-alarms]\n"
     "                [--reset-hcu-alarms] [--init-filter] [--self-test] [--hcu-self-test]\n"
     "                [--clear-counters] [--sync-clock] [--new-password XXXXX]\n"
     "                [--memory-management ring=on|off,mirror=on|off] [--recording start|stop]\n"
     "                [--blasting-mode] [--vm-mode start|stop] [--kb-mode start|stop]\n"
     "                [--alerting-test] [--erase-events N[,N...]]\n"
     "                [--macro TEXT] [--macro-entry N] [--verbose] [--help]\n"
     "     tarvik-cli --new-tcp-document 文件 HOST:PORT\n"
     "各操作在登录后按给定顺序执行，然后程序注销。\n密码取自 --password，否则取自 "
     "TARVIK_PASSWORD，否则在设置建议时使用默认密码。\n只有所有操作都成功时退出状态才为 0。"},
    {9502, "No connection: name a connection file or give /d for the Direct Link.",
     "Keine Verbindung: Geben Sie eine Verbindungsdatei oder /d für die Direktverbindung an.",
     "没有连接：请指定连接文件，或使用 /d 进行直接连接。"},
    {9503, "KR %d is not reported by the HCU.", "KR %d wird von der HCU nicht gemeldet.",
     "HCU 未报告 KR %d。"},
    {9504, "Unknown or incomplete switch \"%s\".", "Unbekannter oder unvollständiger Schalter \"%s\".",
     "未知或不完整的开关 \"%s\"。"},
    {9505, "Not logged in: the operations were not run.",
     "Nicht angemeldet: Die Operationen wurden nicht ausgeführt.", "未登录：未执行任何操作。"},
    {9506, "The event file %s was saved, but its miniSEED copy could not be written.\n%s",
     "Die Ereignisdatei %s wurde gespeichert, aber ihre miniSEED-Kopie konnte nicht geschrieben werden.\n%s",
     "事件文件 %s 已保存，但无法写入其 miniSEED 副本。\n%s"},
});

}  // namespace

std::span<const kr::StringEntry> EngineStrings() {
  return kEntries;
}

}  // namespace tarvik
