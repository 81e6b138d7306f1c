// __chkstk, the stack probe of Visual C++'s static runtime: the compiler calls it, with the size in
// RAX, before a function reserves more than a page of stack. Windows commits a thread's stack one
// guard page at a time, so each page is touched in order, from the top down; the caller then moves
// RSP itself. It may change only R10, R11 and the flags.
asm(R"(
    .text
    .globl __chkstk
    .p2align 4
__chkstk:
    lea 8(%rsp), %r11
    mov %rax, %r10
1:
    cmp $0x1000, %r10
    jb 2f
    sub $0x1000, %r11
    test %r11, (%r11)
    sub $0x1000, %r10
    jmp 1b
2:
    sub %r10, %r11
    test %r11, (%r11)
    ret
)");
