#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

ModalAnswerer::ModalAnswerer(Answer answer, int timeoutMs, const char* onlyClass)
    : answer_(std::move(answer)), remainingPolls_(timeoutMs / 10), onlyClass_(onlyClass)
{
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
}

ModalAnswerer::~ModalAnswerer()
{
    timer_.stop();
}

void ModalAnswerer::poll()
{
    if (--remainingPolls_ < 0) {
        timer_.stop();
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || (onlyClass_ && !modal->inherits(onlyClass_)))
        return;
    timer_.stop();
    title_ = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        text_ = box->text();
    answered_ = true;
    answer_(modal);
}

ModalAnswerer::Answer PressMessageBoxButton(int standardButton)
{
    return [standardButton](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        if (QAbstractButton* b =
                box->button(static_cast<QMessageBox::StandardButton>(standardButton)))
            b->click();
        else
            box->close();
    };
}
