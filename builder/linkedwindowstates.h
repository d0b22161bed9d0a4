// The main window and the builder are minimised and restored together.
#pragma once

#include <QWidget>

namespace builder {

// Each window's state rule sets the other window's state through here. A change that one rule
// makes on the other window must not run that window's rule back: the user maximising the main
// window minimises the builder, and the builder's rule would then minimise the main window too.
class LinkedWindowStates {
public:
    // True while a rule is changing the other window: that window's own rule stays out of it.
    bool isFollowing() const { return m_following; }

    // Minimised, maximised or neither (normal); nothing happens when the window is already so.
    void follow(QWidget& window, Qt::WindowStates state);

    static Qt::WindowStates sizeState(const QWidget& window);

private:
    bool m_following = false;
};

} // namespace builder
