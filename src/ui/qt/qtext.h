// The model's texts are UTF-8 (the micro and degree signs among them); Qt's are UTF-16.
#pragma once

#include <QString>
#include <string_view>

namespace vtq::qt {

inline QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace vtq::qt
