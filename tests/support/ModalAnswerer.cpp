#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>

ModalAnswerer::ModalAnswerer()
{
    _poll.setInterval(10);
    connect(&_poll, &QTimer::timeout, this, &ModalAnswerer::answerOpenBox);
}

void ModalAnswerer::answer(const QStringList &answers)
{
    _answers = answers;
    _poll.start();
}

void ModalAnswerer::answerOpenBox()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || _answers.isEmpty())
        return;
    Box shown;
    shown.title = box->windowTitle();
    shown.text = box->text();
    shown.informativeText = box->informativeText();
    shown.icon = box->icon();
    for (QAbstractButton *button : box->buttons())
        shown.buttons << button->text();
    if (box->defaultButton())
        shown.defaultButton = box->defaultButton()->text();
    shown.flags = box->windowFlags();
    shown.hasParent = box->parentWidget() != nullptr;
    _boxes << shown;

    const QString answer = _answers.takeFirst();
    if (_answers.isEmpty())
        _poll.stop();
    if (answer == QLatin1String("Escape")) {
        QTest::keyClick(box, Qt::Key_Escape);
        return;
    }
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == answer) {
            button->click();
            return;
        }
    }
    box->reject();
}
