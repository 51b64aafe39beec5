/* stack_probe_i686.S -- calls a function with arguments pushed from a word array, from a stack
 * misaligned on purpose, and reports the stack pointer and the registers a standard-call callee
 * must keep (ebx, esi, edi, ebp), the x87 status and control words and the SSE control word.
 *
 * int32_t ProbeCall(void* fn, const uint32_t* words, int32_t count, int32_t misalign,
 *                   ProbeReport* report);   (cdecl)
 * ProbeReport: eax, stackDelta, ebx, edi, ebp, anchor, fpuStatus, fpuControl, mxcsr (int32 each)
 */
    .text
    .globl _ProbeCall
_ProbeCall:
    pushl %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl %esp, %esi              /* anchor: esi must survive the call */
    movl 20(%esi), %eax          /* fn */
    movl 24(%esi), %edx          /* words */
    movl 28(%esi), %ecx          /* count */
    subl 32(%esi), %esp          /* misalign the stack as a host may */
1:  testl %ecx, %ecx             /* push words[count-1] .. words[0] */
    jz 2f
    decl %ecx
    pushl (%edx,%ecx,4)
    jmp 1b
2:  movl $0x0BB0BB0B, %ebx
    movl $0x0DD0DD0D, %edi
    movl %esi, %ebp
    xorl $0x5A5A5A5A, %ebp
    call *%eax
    movl 36(%esi), %edx          /* report */
    movl %eax, 0(%edx)
    movl %esp, %ecx
    movl %esi, %eax
    subl 32(%esi), %eax          /* where the callee had to leave the stack pointer */
    subl %eax, %ecx
    movl %ecx, 4(%edx)
    movl %ebx, 8(%edx)
    movl %edi, 12(%edx)
    movl %ebp, 16(%edx)
    movl %esi, 20(%edx)
    fnstsw %ax
    movzwl %ax, %eax
    movl %eax, 24(%edx)
    fnstcw 28(%edx)
    movw $0, 30(%edx)
    stmxcsr 32(%edx)
    movl 0(%edx), %eax
    movl %esi, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
