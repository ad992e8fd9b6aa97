// The painters draw with Qt's GUI library, which needs an application object. A command that draws
// makes one while it draws, always on the offscreen platform: drawing in the tool never needs a
// display, whatever QT_QPA_PLATFORM names.
#pragma once

#include <memory>

class QGuiApplication;

namespace axolite::cli {

class HeadlessGui {
public:
    // Makes the application object when the process has none (a test that runs the commands
    // in-process already has one).
    HeadlessGui();
    ~HeadlessGui();
    HeadlessGui(const HeadlessGui&) = delete;
    HeadlessGui& operator=(const HeadlessGui&) = delete;

private:
    std::unique_ptr<QGuiApplication> application_;
};

} // namespace axolite::cli
