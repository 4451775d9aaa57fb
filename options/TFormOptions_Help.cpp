// The options window's context help, keypad keys and bell picture: the
// window watches its controls' events before they do.
#include "TFormOptions.h"

#include "OptionsRules.h"

#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTabWidget>
#include <QWhatsThis>

namespace {

const char* const kHelpContext = "HelpContext";
const char* const kTag = "Tag";

// Labels and the paint box draw but hold no focus: they carry a tag.
bool isNonWindowed(const QWidget* w)
{
    return qobject_cast<const QLabel*>(w) || w->objectName() == QLatin1String("PaintBoxBip");
}

int ownNumber(const QWidget* w)
{
    if (const auto* label = qobject_cast<const QLabel*>(w); label && label->buddy()) {
        const int buddy = label->buddy()->property(kHelpContext).toInt();
        return buddy != 0 ? buddy : label->property(kTag).toInt();
    }
    if (isNonWindowed(w))
        return w->property(kTag).toInt();
    return w->property(kHelpContext).toInt();
}

QImage bellPicture()
{
    QImage image(16, 16, QImage::Format_RGB32);
    const QColor key(255, 0, 255);
    image.fill(key);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(96, 64, 0));
    p.setBrush(QColor(240, 192, 32));
    const QPolygon bell({QPoint(7, 2), QPoint(9, 2), QPoint(11, 4), QPoint(11, 9), QPoint(13, 11),
                         QPoint(13, 12), QPoint(3, 12), QPoint(3, 11), QPoint(5, 9), QPoint(5, 4)});
    p.drawPolygon(bell);
    p.setBrush(QColor(96, 64, 0));
    p.drawRect(7, 13, 2, 1);
    p.drawPoint(8, 1);
    p.end();
    return image;
}

} // namespace

int TFormOptions::HelpContextOf(const QWidget* control)
{
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        if (const int number = ownNumber(w); number != 0)
            return number;
        if (w->isWindow())
            break;
    }
    return OptionsRules::kDefaultHelpContext;
}

void TFormOptions::ShowHelpAt(QWidget* control, QPoint globalPos)
{
    const int number = HelpContextOf(control ? control : PageControl->currentWidget());
    if (helpHandler_) {
        if (number >= 0)
            helpHandler_(HelpAction::Popup, number, globalPos);
        else
            helpHandler_(HelpAction::Topic, -number, globalPos);
        return;
    }
    // Without a help window the topic number is all there is to tell.
    QWhatsThis::showText(globalPos, QStringLiteral("Help topic %1").arg(std::abs(number)), this);
}

void TFormOptions::WatchForHelp(QWidget* root)
{
    root->installEventFilter(this);
    for (QWidget* child : root->findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool TFormOptions::eventFilter(QObject* watched, QEvent* e)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    switch (e->type()) {
    case QEvent::QueryWhatsThis:
        // Every control answers a help request, disabled ones too.
        e->accept();
        return true;
    case QEvent::WhatsThis:
        if (widget) {
            const auto* help = static_cast<QHelpEvent*>(e);
            QWidget* at = widget->childAt(help->pos());
            ShowHelpAt(at ? at : widget, help->globalPos());
            return true;
        }
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_F1 && widget) {
            // The focused control answers, or the one of it under the pointer;
            // the pop-up comes where the pointer is.
            const QPoint pointer = QCursor::pos();
            QWidget* at = widget->childAt(widget->mapFromGlobal(pointer));
            ShowHelpAt(at ? at : widget, pointer);
            return true;
        }
        if (key->modifiers() & Qt::KeypadModifier) {
            // The keypad's minus and plus move the quality anywhere in the window.
            if (key->key() == Qt::Key_Minus) {
                BitBtnMinusClick();
                return true;
            }
            if (key->key() == Qt::Key_Plus) {
                BitBtnPlusClick();
                return true;
            }
        }
        if (watched == LabeledEditPrefix && key->text().size() == 1 &&
            OptionsRules::IsPrefixCharRefused(key->text().front()))
            return true;
        break;
    }
    case QEvent::FocusOut:
        if (watched == LabeledEditPrefix)
            LabeledEditPrefixExit();
        break;
    case QEvent::Paint:
        if (watched == PaintBoxBip) {
            PaintBell(PaintBoxBip);
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, e);
}

void TFormOptions::PaintBell(QWidget* box)
{
    // The picture's bottom-left colour is its transparent colour.
    static const QImage bell = bellPicture();
    const QColor key = bell.pixelColor(0, bell.height() - 1);
    QImage shown = bell.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < shown.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < shown.width(); ++x) {
            if (QColor(line[x]).rgb() == key.rgb())
                line[x] = box->palette().color(QPalette::Button).rgba();
        }
    }
    QPainter painter(box);
    painter.drawImage(0, 0, shown);
}
