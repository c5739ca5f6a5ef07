#pragma once
// HookReports: where the key hook's reports arrive for one receiver. Whichever thread saw a key
// (the X RECORD thread or the window thread), key() is emitted on this object's thread, queued,
// in the order the keys happened. The receiver connects to key() and hands the object to
// installhook.

#include <QObject>

namespace tavrik::app {

class HookReports : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Queues one report; callable from any thread. Codes outside 1..255 are dropped.
    void post(int virtualKey, bool released);

signals:
    // virtualKey: the Windows virtual-key code (= key-table code), 1..255; released: a release
    // rather than a press.
    void key(int virtualKey, bool released);
};

}  // namespace tavrik::app
