#pragma once
// The running platform's interface table; each front end provides this one function.
#include <memory>

#include "ports/TableSource.h"

namespace tg {

std::unique_ptr<TableSource> MakeSystemTableSource();

}  // namespace tg
