/* ProbeResult host::CallStdcall(function, arguments, count, misalignment)
 * cdecl; the 8-byte result comes back in EDX:EAX. */
	.text
	.globl	__ZN4host11CallStdcallEPKvPKjii
__ZN4host11CallStdcallEPKvPKjii:
	pushl	%ebp
	movl	%esp, %ebp
	pushl	%ebx
	pushl	%esi
	pushl	%edi
	movl	12(%ebp), %esi		/* arguments */
	movl	16(%ebp), %ecx		/* count */
	movl	20(%ebp), %edx		/* wanted ESP mod 16 at entry */
	andl	$-16, %esp
	/* At entry ESP = S - 4 * count - 4; choose S so that it has the wanted
	 * remainder: S = aligned - 16 + ((wanted + 4 * count + 4) & 15). */
	leal	4(%edx,%ecx,4), %eax
	andl	$15, %eax
	subl	$16, %esp
	addl	%eax, %esp
	movl	%esp, %ebx		/* S, to compare after the call */
1:	testl	%ecx, %ecx
	jz	2f
	decl	%ecx
	pushl	(%esi,%ecx,4)
	jmp	1b
2:	call	*8(%ebp)
	movl	%esp, %edx
	subl	%ebx, %edx
	negl	%edx			/* positive when arguments were left behind */
	leal	-12(%ebp), %esp
	popl	%edi
	popl	%esi
	popl	%ebx
	popl	%ebp
	ret
