#pragma once
// Records what a SkinListBox tells about its in-place edits, in the order it tells it.

#include <QObject>
#include <QString>
#include <ostream>
#include <vector>

#include "controls/skin_list_box.h"

namespace tavrik::app {

struct Message {
    enum Kind { EditStarted, DelayEdited, ItemTextChanged, RenameFinished };
    Kind kind;
    int first;     // the row (ItemTextChanged: the new row; RenameFinished: the start row)
    int second;    // DelayEdited: the value; RenameFinished: the new row; else 0
    QString text;  // ItemTextChanged: the old text
    bool operator==(const Message&) const = default;
    friend void PrintTo(const Message& m, std::ostream* os) {
        *os << "{" << m.kind << ", " << m.first << ", " << m.second << ", \""
            << m.text.toStdString() << "\"}";
    }
};

class MessageRecorder {
public:
    explicit MessageRecorder(SkinListBox& list) {
        QObject::connect(&list, &SkinListBox::editStarted, &m_context, [this](int row) {
            messages.push_back({Message::EditStarted, row, 0, {}});
        });
        QObject::connect(&list, &SkinListBox::delayEdited, &m_context, [this](int row, int ms) {
            messages.push_back({Message::DelayEdited, row, ms, {}});
        });
        QObject::connect(&list, &SkinListBox::itemTextChanged, &m_context,
                         [this](int row, const QString& oldText) {
                             messages.push_back({Message::ItemTextChanged, row, 0, oldText});
                         });
        QObject::connect(&list, &SkinListBox::renameFinished, &m_context,
                         [this](int start, int row) {
                             messages.push_back({Message::RenameFinished, start, row, {}});
                         });
    }
    std::vector<Message> messages;

private:
    QObject m_context;  // the connections end with the recorder
};

}  // namespace tavrik::app
