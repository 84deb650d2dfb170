#pragma once

#include <functional>

class QWidget;

namespace vorlane {

// The keys of a small window's form, one route each. Return or Enter, in the content or
// passed on by one of its fields, runs `submit` (a Return shortcut would steal the key from
// the fields, and a default button outside a dialog ignores it). Escape runs `cancel` from
// inside the fields too, but only while the keyboard is in this content: a content just
// replaced may linger, hidden, until the event loop deletes it. Each time the content is
// shown, `field` takes the keyboard.
void bindFormKeys(QWidget& content, QWidget& field, std::function<void()> submit,
                  std::function<void()> cancel);

}  // namespace vorlane
