// Application-wide controllers whose life the application starts after launch and ends at
// termination. Both operations are optional: the defaults do nothing.
#ifndef NUMBERA_APP_RULES_NB_CONTROLLER_LIFE_H
#define NUMBERA_APP_RULES_NB_CONTROLLER_LIFE_H

class NBControllerLife {
  public:
    virtual ~NBControllerLife();
    virtual void beginLife() {}
    virtual void endLife() {}
};

#endif
