// Modal message boxes with the program's fixed captions and texts. The
// texts use CR between lines as they are written; they are shown with
// newlines. Windows route their questions through a MessageSink so that
// tests can answer them.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace vt::gui {

enum class BoxIcon { None, Information, Warning, Error };
enum class BoxButtons { Ok, OkCancel, YesNo };
enum class BoxAnswer { Ok, Cancel, Yes, No };

struct BoxRequest {
    QString caption;
    QString text;  // as written, CR between lines
    BoxIcon icon = BoxIcon::None;
    BoxButtons buttons = BoxButtons::Ok;
};

// Shows a request and returns the answer. The default shows a QMessageBox.
using MessageSink = std::function<BoxAnswer(QWidget* parent, const BoxRequest&)>;

BoxAnswer show_message_box(QWidget* parent, const BoxRequest& request);
// CR line breaks to newlines (a CR LF pair stays one break).
QString message_text(const std::string& text);

}  // namespace vt::gui
