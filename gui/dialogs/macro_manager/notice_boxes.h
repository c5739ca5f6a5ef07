#pragma once
// The macro manager's message boxes, behind an interface so that a test can answer them
// without a modal loop.

#include "common/language.h"
#include "macro/macro_texts.h"

class QWidget;

namespace tavrik::app {

class NoticeBoxes {
public:
    virtual ~NoticeBoxes() = default;
    // A message with an OK button.
    virtual void inform(QWidget* parent, const macro::Notice& notice, Language lang) = 0;
    // A question with OK and Cancel; true on OK.
    virtual bool confirm(QWidget* parent, const macro::Notice& notice, Language lang) = 0;
};

// Modal QMessageBox windows.
class QtNoticeBoxes final : public NoticeBoxes {
public:
    void inform(QWidget* parent, const macro::Notice& notice, Language lang) override;
    bool confirm(QWidget* parent, const macro::Notice& notice, Language lang) override;
};

}  // namespace tavrik::app
