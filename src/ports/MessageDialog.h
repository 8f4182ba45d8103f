#pragma once
// A modal message with an OK button: the call returns when the user has dismissed it.
#include <string_view>

namespace tg {

enum class MessageIcon { None, Information };

class MessageDialog {
 public:
    virtual ~MessageDialog() = default;
    virtual void Show(std::string_view text, std::string_view caption, MessageIcon icon) = 0;
};

}  // namespace tg
