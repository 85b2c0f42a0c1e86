#pragma once
// The desktop's folder chooser: a modal window over its owner that shows
// folders only and opens on the initial folder; it gives the folder the
// user chose, or nothing when the user cancelled. Tests put a chooser of
// their own in its place.

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

struct FolderChooserRequest {
    std::string title;                // GB2312
    std::string initialFolder;        // a native path; "" opens on the current folder
    QWidget* owner = nullptr;         // the window it is modal over
    std::vector<std::string> places;  // native folders offered beside the folder tree
};

// The chosen folder as a native path.
using FolderChooser = std::function<std::optional<std::string>(const FolderChooserRequest&)>;

// User-interface thread, with the application object running; nothing
// when there is none, and nothing once the program ends (which closes an
// open chooser as a cancel).
std::optional<std::string> ChooseFolder(const FolderChooserRequest& request);

// Replaces the chooser; an empty one puts the desktop's back.
void SetFolderChooser(FolderChooser chooser);

// The object name of the desktop's chooser window, so tests find it.
constexpr const char* kFolderChooserObjectName = "QvFolderChooser";
