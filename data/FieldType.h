#pragma once
// The kinds of value a field holds, shared by the cursors, the data-bound controls and the
// report engine.

namespace zz {

enum class FieldType { Text, Integer, AutoInc, Date, Float, Money, Graphic };

} // namespace zz
