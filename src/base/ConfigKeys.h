// The sections and keys of tvk.ini with their defaults, the one place that spells them. Files on disk
// hold these spellings: sections and keys match without regard to case, but a section or key that a
// file lacks is written as spelled here.
#pragma once

#include "base/Config.h"

#include <QString>
#include <QUrl>

namespace ConfigKeys {

using namespace Qt::Literals::StringLiterals;

// --- sections ---
inline constexpr QLatin1StringView kGeneralSection = "General"_L1;
/// The serial device of each port number (`Com1`, `Com2`, ...).
inline constexpr QLatin1StringView kPortsSection = "Ports"_L1;
/// The modem profile: its identity, port, serial line and the commands it accepted.
inline constexpr QLatin1StringView kModemSection = "Modem"_L1;
/// The compressions the modem reported, by index.
inline constexpr QLatin1StringView kModemCompressionsSection = "Modem compressions"_L1;
inline constexpr QLatin1StringView kParamsSection = "Params"_L1;
/// The same section as kParamsSection; the main window's keys have always named it so, and a file
/// without the section gets it headed so.
inline constexpr QLatin1StringView kParamsSectionLowerCase = "params"_L1;
inline constexpr QLatin1StringView kMonitorSection = "Monitor"_L1;
inline constexpr QLatin1StringView kFontsSection = "Fonts"_L1;
inline constexpr QLatin1StringView kMailSection = "Mail"_L1;
inline constexpr QLatin1StringView kContactsSection = "Contacts"_L1;
/// The web page the running recorder serves.
inline constexpr QLatin1StringView kWebSection = "Web"_L1;

// --- General ---
/// The learned time between rings in milliseconds; not learned yet while missing or not positive.
inline constexpr IntegerSetting kRingTimeOut{{kGeneralSection, "RingTimeOut"_L1}, -1};

// --- Ports ---
/// The key of port `number` in kPortsSection.
inline QString portKey(int number) {
    return QStringLiteral("Com%1").arg(number);
}

// --- Modem: identity, port and serial line ---
inline constexpr IntegerSetting kModemPort{{kModemSection, "port"_L1}, 1};
inline constexpr ConfigKey kDriverDate{kModemSection, "DriverDate"_L1};
inline constexpr ConfigKey kManufacturer{kModemSection, "Manufacturer"_L1};
inline constexpr ConfigKey kDeviceDesc{kModemSection, "DeviceDesc"_L1};
inline constexpr ConfigKey kModel{kModemSection, "Model"_L1};
/// The index of the speed in SerialLine::kSpeeds.
inline constexpr IntegerSetting kBaudrate{{kModemSection, "baudrate"_L1}, 1};
/// The index of SerialLine::FlowControl.
inline constexpr IntegerSetting kFlowControl{{kModemSection, "FlowControl"_L1}, 0};
/// The letter of the handset events the modem has shown it reports; none while missing.
inline constexpr ConfigKey kHandsetEvents{kModemSection, "HandsetEvents"_L1};

// --- Modem: the commands, each "none" when the modem refused it ---
inline constexpr ConfigKey kReset{kModemSection, "Reset"_L1};
inline constexpr ConfigKey kAnswer{kModemSection, "answer"_L1};
inline constexpr ConfigKey kMonitorCommand{kModemSection, "monitor"_L1};
inline constexpr ConfigKey kVoiceMode{kModemSection, "VoiceMode"_L1};
inline constexpr ConfigKey kInitVoice{kModemSection, "InitVoice"_L1};
inline constexpr ConfigKey kDisCallerId{kModemSection, "DisCallerId"_L1};
/// The formatted caller ID command; "none" (the default) means callers cannot be identified.
inline constexpr TextSetting kForCallerId{{kModemSection, "ForCallerId"_L1}, "none"_L1};
inline constexpr ConfigKey kUnfCallerId{kModemSection, "UnfCallerId"_L1};
inline constexpr ConfigKey kDistinctive{kModemSection, "Distinctive"_L1};
/// The speaker gain command; its level (default 128) follows the "=".
inline constexpr TextSetting kSpeakerVol{{kModemSection, "SpeakerVol"_L1}, "128"_L1};
inline constexpr ConfigKey kLineSelection{kModemSection, "LineSel_T"_L1};
/// The reply the line selection command gave.
inline constexpr ConfigKey kLineSelectionReply{kModemSection, "LineSel_T#"_L1};
inline constexpr ConfigKey kBeepTone{kModemSection, "BeepTone"_L1};
inline constexpr ConfigKey kSilenceTimer{kModemSection, "SilenceTimer"_L1};
inline constexpr ConfigKey kToneGeneration{kModemSection, "ToneGeneration"_L1};
inline constexpr ConfigKey kVoiceProcess{kModemSection, "VoiceProcess"_L1};
inline constexpr ConfigKey kVoiceTrx{kModemSection, "VoiceTrx"_L1};
inline constexpr ConfigKey kVoiceRec{kModemSection, "VoiceRec"_L1};
/// The chosen compression's "at+vsm=..." command.
inline constexpr ConfigKey kVoiceCompression{kModemSection, "VoiceCompression"_L1};
inline constexpr ConfigKey kSamplingFreq{kModemSection, "SamplingFreq"_L1};
/// The recording gain command; its level (default 128) follows the "=".
inline constexpr TextSetting kRecGain{{kModemSection, "RecGain"_L1}, "128"_L1};
inline constexpr ConfigKey kSpeakerOn{kModemSection, "SpeakerOn"_L1};
inline constexpr ConfigKey kSpeakerOff{kModemSection, "SpeakerOff"_L1};
inline constexpr ConfigKey kMicGain{kModemSection, "MicGain"_L1};
inline constexpr ConfigKey kSpeakerGain{kModemSection, "SpeakerGain"_L1};
/// The gain ranges the modem reported.
inline constexpr IntegerSetting kSpeakerGainMin{{kModemSection, "vgtMin"_L1}, 0};
inline constexpr IntegerSetting kSpeakerGainMax{{kModemSection, "vgtMax"_L1}, 255};
inline constexpr IntegerSetting kRecordGainMin{{kModemSection, "vgrMin"_L1}, 0};
inline constexpr IntegerSetting kRecordGainMax{{kModemSection, "vgrMax"_L1}, 255};

// --- Params: the modem as the program uses it ---
inline constexpr FlagSetting kVoiceFeatures{{kParamsSection, "Voicefeatures"_L1}, true};
/// The selected line of the compression list (Compressions.d).
inline constexpr IntegerSetting kCompression{{kParamsSection, "Compression"_L1}, 0};
/// The reply time-out in seconds.
inline constexpr IntegerSetting kTimeout{{kParamsSection, "Timeout"_L1}, 4};
/// The line selection command in use and its reply.
inline constexpr ConfigKey kUseLine{kParamsSection, "UseLine"_L1};
inline constexpr ConfigKey kUseLineRes{kParamsSection, "UseLineRes"_L1};

// --- Params: the settings ---
inline constexpr FlagSetting kStartUp{{kParamsSection, "StartUp"_L1}, false};
inline constexpr FlagSetting kSystemTray{{kParamsSection, "SystemTray"_L1}, false};
inline constexpr FlagSetting kCallerId{{kParamsSection, "CallerID"_L1}, true};
inline constexpr FlagSetting kExtPlayer{{kParamsSection, "ExtPlayer"_L1}, false};
inline constexpr TextSetting kPlayer{{kParamsSection, "Player"_L1}, "wmPlayer.exe"_L1};
inline constexpr FlagSetting kAutoRecord{{kParamsSection, "AutoRecord"_L1}, true};
/// Seconds of silence that end an automatic recording.
inline constexpr IntegerSetting kDiscTime{{kParamsSection, "DiscTime"_L1}, 10};
inline constexpr FlagSetting kRejectCall{{kParamsSection, "RejectCall"_L1}, true};
inline constexpr IntegerSetting kRejectRings{{kParamsSection, "RejectRings"_L1}, 6};
inline constexpr FlagSetting kRecordOutgoing{{kParamsSection, "RecordOutgoing"_L1}, false};
/// A second working folder (a network share, another disk) kept up to date after each call; none while empty.
inline constexpr TextSetting kMirrorFolder{{kParamsSection, "MirrorFolder"_L1}, ""_L1};

// --- Params: the main window ---
inline constexpr ConfigKey kMainLeft{kParamsSectionLowerCase, "MainLeft"_L1};
inline constexpr ConfigKey kMainTop{kParamsSectionLowerCase, "MainTop"_L1};
inline constexpr ConfigKey kMainWidth{kParamsSectionLowerCase, "MainWid"_L1};
inline constexpr ConfigKey kMainHeight{kParamsSectionLowerCase, "MainHeight"_L1};
/// The folder tree's width.
inline constexpr ConfigKey kSplitter{kParamsSectionLowerCase, "Splitter"_L1};
/// The playback volume slider's position.
inline constexpr IntegerSetting kVolume{{kParamsSectionLowerCase, "Volume"_L1}, 8};
/// The widths of the recordings list's columns.
inline constexpr IntegerSetting kDateWidth{{kParamsSection, "Date"_L1}, 75};
inline constexpr IntegerSetting kTimeWidth{{kParamsSection, "Time"_L1}, 70};
inline constexpr IntegerSetting kDurationWidth{{kParamsSection, "Duration"_L1}, 70};

// --- Monitor: the sound trace ---
inline constexpr FlagSetting kPlayTrace{{kMonitorSection, "PlayTrace"_L1}, true};
inline constexpr FlagSetting kRecordTrace{{kMonitorSection, "RecordTrace"_L1}, true};
/// The index of the samples per frame: 1200 + 200 x index.
inline constexpr IntegerSetting kPoints{{kMonitorSection, "Points"_L1}, 3};
/// Colours as 0x00BBGGRR.
inline constexpr IntegerSetting kBackColor{{kMonitorSection, "BackColor"_L1}, 0};
inline constexpr IntegerSetting kTraceColor{{kMonitorSection, "TraceColor"_L1}, 65280};

// --- Fonts: the lists' font ---
inline constexpr TextSetting kFontName{{kFontsSection, "FontName"_L1}, "tahoma"_L1};
inline constexpr IntegerSetting kFontSize{{kFontsSection, "FontSize"_L1}, 8};
inline constexpr IntegerSetting kFontColor{{kFontsSection, "FontColor"_L1}, 0};

// --- Mail ---
/// The address a mailed recording points to.
inline constexpr TextSetting kWebAddress{{kMailSection, "WebAddress"_L1}, "https://orlamo.example.org"_L1};
/// Where a problem report goes; a blank value counts as missing.
inline constexpr TextSetting kSupportAddress{{kMailSection, "SupportAddress"_L1}, "support@orlamo.example.org"_L1};
/// The format recordings are attached to a mail in: "wav" (the stored file), "opus" or "mp3".
inline constexpr TextSetting kAttachAs{{kMailSection, "AttachAs"_L1}, "wav"_L1};

// --- Disk and Retention: the free-space floor and how long recordings are kept ---
inline constexpr QLatin1StringView kDiskSection = "Disk"_L1;
/// Free megabytes of the working folder's disk below which a recording ends; 0 (the default) means
/// the larger of 500 MB and one hour of the chosen file format.
inline constexpr IntegerSetting kDiskFloor{{kDiskSection, "FloorMB"_L1}, 0};
/// A floor above a terabyte is a typing error.
inline constexpr int kDiskFloorMaxMegabytes = 1000000;
inline constexpr QLatin1StringView kRetentionSection = "Retention"_L1;
/// The catalogue's total size in megabytes above which the oldest recordings go; 0 (the default): no cap.
inline constexpr IntegerSetting kRetentionCap{{kRetentionSection, "CapMB"_L1}, 0};
/// A list's name in a key: percent-encoded, so "=", "[" or a line break in a name cannot break the file.
inline QString retentionListKey(QLatin1StringView prefix, const QString& list) {
    return prefix + QString::fromLatin1(QUrl::toPercentEncoding(list));
}
/// Days a list's recordings are kept: 0 for ever; an empty or missing value follows the parent list.
inline QString retentionDaysKey(const QString& list) {
    return retentionListKey("Days."_L1, list);
}
/// 1 when nothing in the list (and its sub-lists) is ever deleted automatically.
inline QString retentionProtectedKey(const QString& list) {
    return retentionListKey("Protected."_L1, list);
}
// --- Params: the call log ---
/// Days the call log keeps a call; 0 or below keeps every call.
inline constexpr IntegerSetting kCallLogDays{{kParamsSection, "CallLogDays"_L1}, 365};
// --- Contacts ---
/// The two-letter region of numbers written without a country code; blank: the system locale's.
inline constexpr TextSetting kHomeCountry{{kContactsSection, "HomeCountry"_L1}, ""_L1};

// --- Web: the page the running recorder serves ---
inline constexpr FlagSetting kWebEnabled{{kWebSection, "Enabled"_L1}, false};
inline constexpr TextSetting kWebListenAddress{{kWebSection, "Address"_L1}, "127.0.0.1"_L1};
inline constexpr IntegerSetting kWebPort{{kWebSection, "Port"_L1}, 8478};
/// PEM files of the TLS certificate and its private key; plain HTTP while either is blank.
inline constexpr TextSetting kWebCertificate{{kWebSection, "Certificate"_L1}, ""_L1};
inline constexpr TextSetting kWebPrivateKey{{kWebSection, "PrivateKey"_L1}, ""_L1};
/// Plain HTTP on an address other than loopback, for a network the user trusts.
inline constexpr FlagSetting kWebAllowPlainHttp{{kWebSection, "AllowPlainHttp"_L1}, false};
/// The password as "pbkdf2-sha256$<iterations>$<salt>$<hash>" (base64); no password while blank.
inline constexpr TextSetting kWebPasswordHash{{kWebSection, "PasswordHash"_L1}, ""_L1};
/// Minutes a session lasts after its last request.
inline constexpr IntegerSetting kWebSessionMinutes{{kWebSection, "SessionMinutes"_L1}, 720};
/// Clients served at once; more are turned away so the recording never waits for them.
inline constexpr IntegerSetting kWebMaxClients{{kWebSection, "MaxClients"_L1}, 64};

} // namespace ConfigKeys
