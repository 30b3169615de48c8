#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers the modal message boxes that the code under test opens, one after
// the other, as a person would, and keeps what each box showed.
class ModalAnswerer : public QObject
{
public:
    struct Box {
        QString title;
        QString text;
        QString informativeText;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
        QString defaultButton;
        Qt::WindowFlags flags;
        bool hasParent = false;
    };

    ModalAnswerer();

    // The answers, in order: the text of the button to click, or "Escape".
    void answer(const QStringList &answers);
    QList<Box> boxes() const { return _boxes; }

private:
    void answerOpenBox();

    QTimer _poll;
    QStringList _answers;
    QList<Box> _boxes;
};
