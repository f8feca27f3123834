#pragma once

// Makes tabs, table rows and list rows usable through the accessibility bus as they are by
// touch: each says whether it is selected, and its Press action does what a tap does. Qt's
// own interfaces for these offer no press on list rows, and on tabs report the current tab as
// focused rather than selected. Idempotent; the widgets concerned call it when created.
void UseAccessibleItems();
