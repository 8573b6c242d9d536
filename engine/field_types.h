#pragma once
// Field type codes of JFile databases and their display names.
#include <cstdint>
#include <string>

namespace quorvil {

// Field names longer than this are cut where a name is made or compared.
constexpr int kMaxFieldNameLength = 20;

constexpr uint16_t kTypeNew = 0;  // a new field; becomes kTypeString when saved
constexpr uint16_t kTypeString = 1;
constexpr uint16_t kTypeBoolean = 2;
constexpr uint16_t kTypeDate = 4;
constexpr uint16_t kTypeInteger = 8;
constexpr uint16_t kTypeFloat = 16;
constexpr uint16_t kTypeTime = 32;
constexpr uint16_t kTypeList = 64;
constexpr uint16_t kTypeAutoDate = 65;
constexpr uint16_t kTypeAutoTime = 66;
constexpr uint16_t kTypeAutoInc = 67;
constexpr uint16_t kTypeBinary = 68;
constexpr uint16_t kTypeModDate = 73;
constexpr uint16_t kTypeModTime = 80;
constexpr uint16_t kTypeIntDate = 65535;  // international date, only in memory

// "STRING", "BOOLEAN", ... or "[code]" for a code without a name.
std::string TypeName(uint16_t code);
// The code of a display name, or -1 when the name is unknown.
int TypeCodeByName(const std::string& name);

}  // namespace quorvil
