#include <array>

#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {

namespace {

// The maintenance actions and the recording operations: their prompts, progress texts and messages.
// Ids 9700..9749 are reserved for new texts of this area.
constexpr std::array kEntries = std::to_array<kr::StringEntry>({
    {238, "Error during recording mode.\nCheck the trace-file for further information.",
     "Fehler im Aufzeichnungsmodus.\nWeitere Informationen finden Sie in der Trace-Datei.",
     "记录模式出错。\n详细信息请查看跟踪文件。"},
    {242, "Wrong password. No events erased.", "Falsches Passwort. Keine Ereignisse gelöscht.",
     "密码错误。未删除任何事件。"},
    {243, "All events erased.", "Alle Ereignisse gelöscht.", "所有事件已删除。"},
    {245, "Baseline setting done.", "Nulllinie gesetzt.", "基线设置完成。"},
    {246, "Wrong password. Baseline NOT set.", "Falsches Passwort. Nulllinie NICHT gesetzt.",
     "密码错误。基线未设置。"},
    {249, "Wrong password. System flags NOT cleared.", "Falsches Passwort. Systemflags NICHT gelöscht.",
     "密码错误。系统标志未清除。"},
    {250, "System flags cleared.", "Systemflags gelöscht.", "系统标志已清除。"},
    {252, "Wrong password. Alarm status NOT cleared.", "Falsches Passwort. Alarmstatus NICHT gelöscht.",
     "密码错误。报警状态未清除。"},
    {253, "Alarm status cleared.", "Alarmstatus gelöscht.", "报警状态已清除。"},
    {254, "Filter is initialized.", "Filter ist initialisiert.", "滤波器已初始化。"},
    {255, "Filter NOT initialized.", "Filter NICHT initialisiert.", "滤波器未初始化。"},
    {261, "Selftest done.", "Selbsttest ausgeführt.", "自检完成。"},
    {262, "Error during execute selftest.", "Fehler beim Ausführen des Selbsttests.", "执行自检时出错。"},
    {277, "Communication counters NOT cleared.", "Kommunikationszähler NICHT gelöscht.",
     "通信计数器未清除。"},
    {278, "Execute initialize filter", "Filter wird initialisiert", "正在初始化滤波器"},
    {294, "Memory is full.\nRecording halted, download and erase memory.",
     "Speicher ist voll.\nAufzeichnung angehalten, Speicher auslesen und löschen.",
     "存储器已满。\n记录已停止，请下载并清除存储器。"},
    {295, "Maximum number of files.\nRecording halted, download and erase memory.",
     "Maximale Anzahl von Dateien.\nAufzeichnung angehalten, Speicher auslesen und löschen.",
     "文件数已达上限。\n记录已停止，请下载并清除存储器。"},
    {297, "The time synchronization was not done.\nRetry later when the KR is not recording.",
     "Die Zeitsynchronisation wurde nicht ausgeführt.\nVersuchen Sie es später, wenn der KR nicht "
     "aufzeichnet.",
     "时间同步未完成。\n请在 KR 未记录时重试。"},
    {298, "Time synchronization done.", "Zeitsynchronisation ausgeführt.", "时间同步完成。"},
    {356, "Erase event data.", "Ereignisdaten löschen.", "删除事件数据。"},
    {360, "Calculating new Baseline.", "Neue Nulllinie wird berechnet.", "正在计算新基线。"},
    {361, "Clear KR system flags.", "KR-Systemflags löschen.", "清除 KR 系统标志。"},
    {363, "Reset alarm status.", "Alarmstatus zurücksetzen.", "复位报警状态。"},
    {364, "Initialize filter.", "Filter initialisieren.", "初始化滤波器。"},
    {366, "Execute Recording System Test.", "Test des Aufzeichnungssystems ausführen.", "执行记录系统测试。"},
    {372, "Execute Recording System Test on HCU.", "Test des Aufzeichnungssystems an der HCU ausführen.",
     "在 HCU 上执行记录系统测试。"},
    {373, "Clear HCU system flags.", "HCU-Systemflags löschen.", "清除 HCU 系统标志。"},
    {375, "Clear communication Counters.", "Kommunikationszähler löschen.", "清除通信计数器。"},
    {376, "Communication counters cleared.", "Kommunikationszähler gelöscht.", "通信计数器已清除。"},
    {451, "ERROR", "ERROR", "ERROR"},
    {462, "Synchronize the time from PC.", "Uhrzeit vom PC übernehmen.", "从 PC 同步时间。"},
    {465, "Start Blasting Mode.", "Sprengmodus starten.", "启动爆破模式。"},
    {466, "Stop Blasting Mode.", "Sprengmodus beenden.", "停止爆破模式。"},
    {467, "Start VM Mode.", "VM-Modus starten.", "启动 VM 模式。"},
    {468, "Stop VM Mode.", "VM-Modus beenden.", "停止 VM 模式。"},
    {469, "Start KB Mode.", "KB-Modus starten.", "启动 KB 模式。"},
    {470, "Stop KB Mode.", "KB-Modus beenden.", "停止 KB 模式。"},
    {472, "Erase Events", "Ereignisse löschen", "删除事件"},
    {473, "Calculating new Baseline", "Neue Nulllinie berechnen", "计算新基线"},
    {478, "Clear KR system flags", "KR-Systemflags löschen", "清除 KR 系统标志"},
    {479, "Clear HCU system flags", "HCU-Systemflags löschen", "清除 HCU 系统标志"},
    {482, "Alarm Status Reset", "Alarmstatus zurücksetzen", "报警状态复位"},
    {483, "HCU Alarm Status Reset", "HCU-Alarmstatus zurücksetzen", "HCU 报警状态复位"},
    {485, "Initialize Filter", "Filter initialisieren", "初始化滤波器"},
    {486, "Execute Recording System Test.", "Test des Aufzeichnungssystems ausführen.", "执行记录系统测试。"},
    {487, "Execute Recording System Test on HCU.", "Test des Aufzeichnungssystems an der HCU ausführen.",
     "在 HCU 上执行记录系统测试。"},
});

}  // namespace

std::span<const kr::StringEntry> MaintenanceStrings() {
  return kEntries;
}

}  // namespace tarvik
