// A list of observers (duplicates allowed) that can be sent a message in list order. An
// observer answers a message when its class implements the message's protocol (a class with
// the member function); the others are skipped. Observers are borrowed: whoever adds one
// removes it before it goes away.
#ifndef NUMBERA_APP_RULES_NB_OBSERVABLE_CONTROLLER_H
#define NUMBERA_APP_RULES_NB_OBSERVABLE_CONTROLLER_H

#include <vector>

class NBObserver {
  public:
    virtual ~NBObserver() = default;
};

class NBObservableController {
  public:
    virtual ~NBObservableController() = default;

    // Appends even when already listed, with a warning: it then hears every message twice.
    void addObserver(NBObserver* observer);
    // Removes every occurrence; warns when there is none.
    void removeObserver(NBObserver* observer);
    const std::vector<NBObserver*>& observers() const { return m_observers; }

    template <typename Protocol>
    void notifyObserversUsingSelector(void (Protocol::*selector)()) {
        for (NBObserver* observer : snapshot())
            if (auto* target = dynamic_cast<Protocol*>(observer)) (target->*selector)();
    }
    template <typename Protocol, typename Argument, typename Object>
    void notifyObserversUsingSelector(void (Protocol::*selector)(Argument), Object&& object) {
        for (NBObserver* observer : snapshot())
            if (auto* target = dynamic_cast<Protocol*>(observer)) (target->*selector)(object);
    }

  private:
    // A copy: an observer may remove itself while it is told.
    std::vector<NBObserver*> snapshot() const { return m_observers; }
    std::vector<NBObserver*> m_observers;
};

#endif
