// The number of GDI objects this process holds, as the system keeps it.
#pragma once

namespace tavrin_test {

// What GetGuiResources reports; where it reports nothing (Wine answers 0),
// the in-use entries of the process's GDI handle table that are not stock
// objects. -1 when neither can be read.
long ProcessGdiObjectCount();

}  // namespace tavrin_test
