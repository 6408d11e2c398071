// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace wf {
class IniText;
} // namespace wf

/** The captions of the main window, the progress dialog and the language dialog in both
 *  languages, as tables that one routine walks when the language switches. Texts are exactly
 *  what the windows show, trailing blanks included. */
namespace wf::captions {

/** Says that a caption names a control rather than a column of a grid's header row. */
inline constexpr int kNoColumn = -1;

/** The INI file's section of caption overrides. */
inline constexpr QStringView kOverrideSection = u"中文";

/** Whether, and under which key, the main window's setters take a caption from section "中文"
 *  of the INI file, where a reseller may rename the main window's captions. */
enum class Override : quint8 {
    None,          ///< always the table's text
    OtherLanguage, ///< the key is the caption's text in the other language
    EnglishStartUp ///< only the English setter at start-up looks it up, under `englishKey`
};

/** The letter that reaches a menu or button with Alt, in each language; 0 for none. Chinese
 *  captions show it after the text, "文件(&F)"; English ones mark it within, "&File". */
struct AltLetter
{
    char16_t chinese = 0;
    char16_t english = 0;
};

/** One row of a caption table: the control's object name (the window's own name for its title),
 *  the header column for a grid, and the texts in both languages. */
struct Row
{
    QStringView control;
    int column = kNoColumn;
    WordPair text;
    Override override = Override::None;
    QStringView englishKey{}; ///< `EnglishStartUp`: the key the English text is found under
    AltLetter alt{};
};

/** The channel table's header captions, column 0 first. Column 11 reads the same in both
 *  languages and is never switched. */
inline constexpr WordPair kChannelColumns[] = {
    {u"信道编号", u"CH No."},
    {u"接收频率", u"RX Freq"},
    {u"发射频率", u"TX Freq"},
    {u"QT/DQT解码", u"QT/DQT Dec"},
    {u"QT/DQT编码", u"QT/DQTEnc"},
    {u"发射功率", u"TX Power"},
    {u"宽/窄", u"W/N"},
    {u"扫描添加", u"Scan Add."},
    {u"步进频率", u"Step Freq"},
    {u"DTMF键1", u"DTMF1"},
    {u"DTMF键2", u"DTMF2"},
    {u"PTTID", u"PTTID"},
    {u"扰频", u"Scrambler"},
    {u"可选信令", u"PTTID Typ"},
    {u"信令信息", u"PTTID NO."},
    {u"压扩", u"Compandor"},
};

/** The captions of the settings panel's labels, in the order of ComboBox1..ComboBox10. PF1 and
 *  PF2 read the same in both languages and are never switched. */
inline constexpr WordPair kSettingLabels[] = {
    {u"Vox等级", u"VOX Lev"}, {u"Vox延迟时间", u"VOX Time"},
    {u"静噪", u"SQ Lev"},     {u"超时定时器", u"TOT"},
    {u"语音通知", u"Voice"},  {u"PF1：", u"PF1："},
    {u"PF2：", u"PF2："},     {u"扫描", u"Scan"},
    {u"省电", u"Save Power"}, {u"报警", u"Beep"},
};

/** The main window's object name; its row is the window title, also the application's. */
inline constexpr QStringView kMainWindowName = u"Form1";

/** The main window's switched captions. The signalling menu entries, the PF1 and PF2 labels
 *  and the header of column 11 read the same in both languages and are left alone. The menus
 *  and buttons keep their Alt letters in both languages, those the window is built with. */
inline constexpr Row kMainWindow[] = {
    {kMainWindowName, kNoColumn, kApplicationTitle},
    {u"N11", kNoColumn, {u"文件", u"File"}, Override::OtherLanguage, {}, {u'F', u'F'}},
    {u"N12", kNoColumn, {u"打开", u"Open"}, Override::OtherLanguage, {}, {u'O', u'O'}},
    {u"N13", kNoColumn, {u"保存", u"Save"}, Override::OtherLanguage, {}, {u'S', u'S'}},
    {u"N1", kNoColumn, {u"退出", u"Exit"}, Override::OtherLanguage, {}, {u'E', u'E'}},
    {u"N2", kNoColumn, {u"信令编辑", u"Signa"}, Override::OtherLanguage, {}, {u'X', u'g'}},
    {u"N3", kNoColumn, {u"设置", u"Setup"}, Override::OtherLanguage, {}, {u'S', u'S'}},
    {u"N4", kNoColumn, {u"语言", u"Language"}, Override::OtherLanguage, {}, {u'L', u'L'}},
    {u"VOX", kNoColumn, kSettingLabels[0], Override::OtherLanguage},
    {u"Label4", kNoColumn, kSettingLabels[1], Override::OtherLanguage},
    {u"Label5", kNoColumn, kSettingLabels[2], Override::OtherLanguage},
    {u"Label6", kNoColumn, kSettingLabels[3], Override::OtherLanguage},
    {u"Label7", kNoColumn, kSettingLabels[4], Override::OtherLanguage},
    {u"Label10", kNoColumn, kSettingLabels[7], Override::OtherLanguage},
    {u"Label11", kNoColumn, kSettingLabels[8], Override::OtherLanguage},
    {u"Label1", kNoColumn, kSettingLabels[9], Override::OtherLanguage},
    {u"xg", 0, kChannelColumns[0], Override::OtherLanguage},
    {u"xg", 1, kChannelColumns[1], Override::OtherLanguage},
    {u"xg", 2, kChannelColumns[2], Override::OtherLanguage},
    {u"xg", 3, kChannelColumns[3], Override::OtherLanguage},
    {u"xg", 4, kChannelColumns[4], Override::OtherLanguage},
    {u"xg", 5, kChannelColumns[5], Override::OtherLanguage},
    {u"xg", 6, kChannelColumns[6], Override::OtherLanguage},
    {u"xg", 7, kChannelColumns[7], Override::OtherLanguage},
    {u"xg", 8, kChannelColumns[8], Override::OtherLanguage},
    {u"xg", 9, kChannelColumns[9], Override::OtherLanguage},
    {u"xg", 10, kChannelColumns[10], Override::OtherLanguage},
    {u"xg", 12, kChannelColumns[12], Override::OtherLanguage},
    {u"xg", 13, kChannelColumns[13], Override::OtherLanguage},
    {u"xg", 14, kChannelColumns[14], Override::OtherLanguage},
    {u"xg", 15, kChannelColumns[15], Override::OtherLanguage},
    {u"wbtn",
     kNoColumn,
     {u"写频(&W)(F11)", u"Write(&W)(F11)"},
     Override::EnglishStartUp,
     u"写频",
     {u'W', u'W'}},
    {u"rbtn",
     kNoColumn,
     {u"读频(&R)(F12)", u"Read(&R)(F12)"},
     Override::EnglishStartUp,
     u"读频",
     {u'R', u'R'}},
};

/** The progress dialog's object name. */
inline constexpr QStringView kProgressDialogName = u"Form3";

/** The progress dialog's buttons; the main window also writes them at each of its transfers. */
inline constexpr Row kProgressDialog[] = {
    {u"Button1", kNoColumn, {u"重试", u"RETRY"}},
    {u"Button2", kNoColumn, {u"取消", u"CANCEL"}},
};

/** The language dialog's object name. */
inline constexpr QStringView kLanguageDialogName = u"Form7";

/** The language dialog's captions; the row of ComboBox1 is the text it shows. */
inline constexpr Row kLanguageDialog[] = {
    {kLanguageDialogName, kNoColumn, {u"语言设置", u"Language Setup"}},
    {u"Label1", kNoColumn, {u"语言模式", u"Language"}},
    {u"ComboBox1", kNoColumn, {u"中文", u"English"}},
    {u"Button1", kNoColumn, {u"确定", u"OK"}},
    {u"Button2", kNoColumn, {u"取消", u"Cancel"}},
};

/** What screen readers announce for controls that show no caption of their own: the port list
 *  and the progress bars of the transfers. */
inline constexpr WordPair kPortListName{u"串口", u"Serial port"};
inline constexpr WordPair kProgressName{u"传输进度", u"Transfer progress"};

/** The language dialog's list, the same in both languages. */
inline constexpr QStringView kLanguageChoices[] = {u"English", u"中文"};

/** Which of the main window's setters writes its captions. */
enum class MainSetter : quint8 {
    StartUp, ///< after the INI file is read at start: the buttons too may be renamed (English)
    Switch,  ///< a switch from the language dialog: the buttons keep their own texts
};

/** The key of section "中文" that may rename a main window caption in a language, or an empty
 *  view when that setter takes the row's text as it is. */
QStringView overrideKey(const Row &row, Language language, MainSetter setter);

/** A caption as a window shows it. */
struct Shown
{
    QStringView control;
    int column = kNoColumn;
    QString text;
};

/** A caption with its row's Alt letter marked: within an English text that has the letter,
 *  otherwise after the text, "(&F)". A text that marks a letter of its own (a rename of the INI
 *  file, say) or is empty is left as it is. */
QString withAltLetter(const QString &text, const Row &row, Language language);

/** The main window's captions in a language, in the order of `kMainWindow`, each taken from
 *  section "中文" of the INI text where it has the row's key (an empty value included), with
 *  its Alt letter. */
QList<Shown> mainWindowCaptions(const IniText &ini, Language language, MainSetter setter);

} // namespace wf::captions
