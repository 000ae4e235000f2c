#include "components/KeyFilters.h"

#include <algorithm>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include "data/TextEncoding.h"

namespace kdt::gui {
namespace {

class LeaveWatcher final : public QObject {
public:
    LeaveWatcher(std::function<void()> left, QObject* parent) : QObject(parent), left_(std::move(left)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (LeavesField(reason)) left_();
        }
        return false;
    }

private:
    std::function<void()> left_;
};

// Enter in a field moves on as Tab does.
void FocusNextControl(QWidget* from) {
    for (QWidget* next = from->nextInFocusChain(); next != nullptr && next != from;
         next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(from->window()) && next->isEnabled()) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

bool IsEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

}  // namespace

bool TypesCharacter(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = event.text();
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

bool FitsCp1251(const QString& text) {
    for (const char32_t codePoint : text.toUcs4())
        if (!HasCp1251Byte(codePoint)) return false;
    return true;
}

NumberKeyFilter::NumberKeyFilter(BeepFunction beep, QObject* parent)
    : QObject(parent), beep_(std::move(beep)) {}

void NumberKeyFilter::Install(QWidget* field, BeepFunction beep) {
    field->installEventFilter(new NumberKeyFilter(std::move(beep), field));
}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (IsEnter(key) && !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (auto* widget = qobject_cast<QWidget*>(watched)) FocusNextControl(widget);
        return true;
    }
    if (!TypesCharacter(key)) return false;
    const QString text = key.text();
    if (text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9')) return false;
    if (beep_) beep_();
    return true;
}

TextKeyFilter::TextKeyFilter(BeepFunction beep, int maxCharacters, QObject* parent)
    : QObject(parent), beep_(std::move(beep)), maxCharacters_(maxCharacters) {}

void TextKeyFilter::Install(QWidget* field, BeepFunction beep, int maxCharacters) {
    field->installEventFilter(new TextKeyFilter(std::move(beep), maxCharacters, field));
}

bool TextKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (!TypesCharacter(key)) return false;
    bool refused = !FitsCp1251(key.text());
    if (!refused && maxCharacters_ > 0) {
        if (const auto* edit = qobject_cast<const QLineEdit*>(watched)) {
            const qsizetype kept = edit->text().size() - edit->selectedText().size();
            refused = kept + key.text().size() > maxCharacters_;
        }
    }
    if (!refused) return false;
    if (beep_) beep_();
    return true;
}

void OnLeave(QWidget* field, std::function<void()> left) {
    field->installEventFilter(new LeaveWatcher(std::move(left), field));
}

}  // namespace kdt::gui
