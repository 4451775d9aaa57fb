#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;

// Watches for the next modal window and hands it to a callback, so a test can
// read and answer a message box or dialog that the code under test opens with
// exec(). Gives up (and records that) after the timeout.
class ModalAnswerer
{
public:
    using Answer = std::function<void(QWidget* modal)>;

    // onlyClass: answers only a modal window of that class (for a box that
    // opens over another modal window); any modal window when empty.
    explicit ModalAnswerer(Answer answer, int timeoutMs = 5000, const char* onlyClass = nullptr);
    ~ModalAnswerer();

    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    bool answered() const { return answered_; }
    // Texts seen on the modal window before it was answered.
    const QString& title() const { return title_; }
    const QString& text() const { return text_; }

private:
    void poll();

    Answer answer_;
    QTimer timer_;
    int remainingPolls_;
    const char* onlyClass_;
    bool answered_ = false;
    QString title_;
    QString text_;
};

// Presses the message box button with the given standard-button value
// (QMessageBox::Ok, ::Yes, ...) on the next message box.
ModalAnswerer::Answer PressMessageBoxButton(int standardButton);
