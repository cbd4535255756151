// SPDX-License-Identifier: GPL-2.0-or-later
// Every text the program shows, in one place.
#pragma once

namespace calvex::strings {

// Job control
inline constexpr const char* kSelectFilesFirst = "Please select an input and output file first";
inline constexpr const char* kSourceIsOutput =
    "Source file cannot be the output file ! Please choose different files.";
inline constexpr const char* kStatusStarted = "Started the Re - Compression Use Abort to cancel";
inline constexpr const char* kStatusAbortPressed = "Abort button pressed. Stopping Compression !";
inline constexpr const char* kStatusCompleted = "Recompression has completed correctly !";
inline constexpr const char* kAudioCaution = "Use caution when recompressing audio streams";
inline constexpr const char* kOutputNotAFile =
    "The output file cannot be replaced: it is not a regular file. Please choose another output "
    "file.";

// Outcomes of a job
inline constexpr const char* kOutcomeTimeOut = "Time out or user aborted conversion.";
inline constexpr const char* kOutcomeComplete = "Complete with no errors.";
inline constexpr const char* kOutcomeUserAbort = "User Abort";
inline constexpr const char* kOutcomeErrorAbort =
    "Error Abort, try not recompressing the audio codec.";

// Building the graph
inline constexpr const char* kAudioCompressorFailed = "Failed to create audio compressor";
inline constexpr const char* kAudioRenderFailed = "Failed to render audio stream, check your codec "
                                                  "combination and if the avi clip has audio.";

// File pickers
inline constexpr const char* kSourcePickerTitle = "Open Source Video..";
inline constexpr const char* kOutputPickerTitle = "Save Converted Video as..";
inline constexpr const char* kSourceFilter = "Video files (*.avi)|*.avi| Convert To Avi (*.*)|*.*";
inline constexpr const char* kOutputFilter = "Video files (*.avi)|*.avi";
inline constexpr const char* kSourceCancelled =
    "Oh, You hit cancel without selecting a file.  Going with last selected file.  If none then "
    "please try again..";
inline constexpr const char* kOutputCancelled =
    "Hmmm, I do not think you have selected or entered an output file ! It is needed because, "
    "well it just kind of is..";

// Menu, About box, quit
inline constexpr const char* kQuitConfirm = "Are you sure you want to quit ?";
inline constexpr const char* kOleInitFailed = "OLE initialization failed.  Make sure that the OLE "
                                              "libraries are the correct version."; // string 100
#define CALVEX_VERSION "1.2"
inline constexpr const char* kVersion = CALVEX_VERSION;
inline constexpr const char* kVersionLine = "Calvex Version " CALVEX_VERSION;
inline constexpr const char* kWebDomain = "www.calvex.example";
inline constexpr const char* kWebAddress = "https://www.calvex.example/";

// About box, settings dialogs (texts of the window only)
inline constexpr const char* kAboutSecondLine = "Recompresses any video to AVI.";
inline constexpr const char* kSettingsTitleSuffix = " Properties";
inline constexpr const char* kSettingsDefaultTitle = "Compressor Properties";
inline constexpr const char* kSettingRefused = "The compressor refused the value \"%s\" for %s.";
inline constexpr const char* kPresetPrompt = "Choose one of the compressor's presets:";
inline constexpr const char* kPresetRefused = "The compressor refused the preset \"%s\".";
inline constexpr const char* kGroupQualityAndRate = "Quality and rate";
inline constexpr const char* kGroupEncoder = "Encoder options";
inline constexpr const char* kGroupGeneral = "General options";
inline constexpr const char* kRestoreDefaults = "Defaults";
inline constexpr const char* kPlaysOn = "Plays on: %s.";
inline constexpr const char* kSettingDefault = "Default: %s.";
inline constexpr const char* kSettingRange = "Range: %s to %s";
inline constexpr const char* kLowerIsBetter = ", lower is better.";
inline constexpr const char* kHigherIsBetter = ", higher is better.";
inline constexpr const char* kSettingKey = "Key: %s.";
inline constexpr const char* kSwitchOn = "on";
inline constexpr const char* kSwitchOff = "off";
inline constexpr const char* kNoValue = "none";

// Names of the main window's controls for screen readers
inline constexpr const char* kVideoPropertiesName = "Video compressor properties";
inline constexpr const char* kAudioPropertiesName = "Audio compressor properties";

} // namespace calvex::strings
