#pragma once
// Pictures that reach the measurement screen other than from frame
// selection: the clipboard (on request, or when another program signals it
// has put one there through the flag file), the snapshot file, a picture
// file chosen by the operator; and "Clear", which ends a frozen picture and
// readies the screen for the next jump.

#include <string>

#include "measure/measure_form.h"

namespace rs {

inline constexpr const char* kClipFlagFile = "clipflag.txt";
inline constexpr const char* kSnapshotFile = "snapshot.bmp";
inline constexpr const char* kSnapshotWarning =
    "Warning, snapshot file has not been saved in the \\rsio directory";
inline constexpr const char* kInvalidPicturePath = "Invalid path, change in configuration screen";
inline constexpr const char* kPictureFilter =
    "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Jump Picture Files (*.gif)|*.gif|Jump Picture "
    "Files (*.bmp)|*.bmp|Jump Picture Files (*.jpg)|*.jpg|";

// The first field of a text as a sequential read takes it: leading blanks
// skipped, a quoted field up to its closing quote, otherwise up to the
// first comma or line end, trailing blanks dropped.
std::string first_field(const std::string& text);

// True when the flag file in the exchange folder says "Ready". The signal is
// then taken: the file is replaced by a line of two blanks, so one signal
// loads one picture. A missing, unreadable or other file says nothing, and
// a signal that cannot be taken is left for the next poll.
bool take_clipboard_signal(FileWriter& files, const std::string& exchange_folder);

// The common start of the clipboard, "&Paste" and snapshot pictures: the
// picture is frozen and the distance boxes emptied.
void freeze(MeasureForm& form);

// A picture file chosen by the operator is on the screen: its name shown,
// the results line written, the navigation state "PictureLoadMenu".
void picture_loaded(MeasureContext& ctx, const std::string& path);

// "Clear": the marked point goes, the distance boxes return to their units,
// the jump number advances by one (every time), "Jump OK" is selected and
// the comment emptied, the frozen picture ends, and the pictures handed over
// in the exchange folder are removed. The screen hides its marker and
// removes its picture.
void unfreeze(MeasureContext& ctx);

}  // namespace rs
