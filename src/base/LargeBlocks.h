#pragma once

// Large blocks (tables, orders, search texts, the reader's buffers) get pages
// of their own and go back to the system as soon as they are freed. By default
// the allocator raises that threshold each time such a block is freed, so a
// table read again, or the temporaries of a sort, end up in the heap, where
// their pages stay resident after use. Call once at the start of a program.
void returnLargeBlocksAtOnce();
