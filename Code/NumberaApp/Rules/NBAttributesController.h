// A process-wide key-value store the interface controllers share.
#ifndef NUMBERA_APP_RULES_NB_ATTRIBUTES_CONTROLLER_H
#define NUMBERA_APP_RULES_NB_ATTRIBUTES_CONTROLLER_H

#include <any>
#include <map>
#include <mutex>
#include <string>

class NBAttributesController {
  public:
    static NBAttributesController& sharedInstance();

    // An empty std::any when nothing is stored under the key.
    std::any valueForKey(const std::string& key) const;
    // An empty value removes the key.
    void setValue(std::any value, const std::string& key);
    // A copy of every stored pair.
    std::map<std::string, std::any> dataSource() const;

  private:
    NBAttributesController() = default;
    mutable std::mutex m_mutex;
    std::map<std::string, std::any> m_dataSource;
};

#endif
