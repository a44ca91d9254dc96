/* The recorder's exports and the way back from the wrapped plug-in.
 *
 * Every export is one of the 64 entry thunks below; the export list made
 * for a plug-in (tools/make-recorder) names each of its exports after
 * one. A thunk hands its number and the stack to RecorderEnter and jumps
 * to the plug-in's function with the stack exactly as the host passed it,
 * but for the return address, which now leads to RecorderExitThunk. That
 * one comes back with the stack as the plug-in left it, hands EAX, EDX and
 * ESP to RecorderExit and returns to the host with all of them untouched:
 * the host sees the plug-in's own results and stack cleanup, right or wrong.
 * Every register and the flags are kept across the recorder's own work;
 * no floating-point or SSE register is touched here at all. */
	.text
	.globl	_RecorderThunks
	.balign	8
_RecorderThunks:
	.irp	n, 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47,48,49,50,51,52,53,54,55,56,57,58,59,60,61,62,63
	.balign	8
	.globl	_RecorderThunk\n
_RecorderThunk\n:
	pushl	$\n
	jmp	EnterCommon
	.endr
	.globl	_RecorderThunksEnd
_RecorderThunksEnd:

/* [ESP] = thunk number, [ESP+4] = the host's return address. */
EnterCommon:
	pushfl
	pushal				/* 32 bytes: the number is now at 36(%esp) */
	leal	40(%esp), %eax		/* ESP at the entry point */
	pushl	%eax
	pushl	40(%esp)		/* the number */
	call	_RecorderEnter		/* cdecl: gives the plug-in's function */
	addl	$8, %esp
	movl	%eax, 36(%esp)		/* where the ret below goes */
	popal
	popfl
	ret

/* Reached by the plug-in's return: ESP where it left it. */
	.globl	_RecorderExitThunk
_RecorderExitThunk:
	pushl	$0			/* becomes the host's return address */
	pushfl
	pushal
	leal	40(%esp), %ecx		/* ESP as the plug-in left it */
	pushl	%edx
	pushl	%eax
	pushl	%ecx
	call	_RecorderExit		/* cdecl: gives the host's return address */
	addl	$12, %esp
	movl	%eax, 36(%esp)
	popal
	popfl
	ret

/* Stands in for a wrapped plug-in that could not be loaded: EAX 0, and the slots the
 * entry point takes removed, so that the host goes on. */
	.globl	_RecorderNoPlugin
_RecorderNoPlugin:
	xorl	%eax, %eax
	popl	%ecx
	addl	_recorderNoPluginPop, %esp
	jmp	*%ecx

/* The floating-point state, read without waiting for or changing it. */
	.globl	_RecorderControlWord
_RecorderControlWord:
	xorl	%eax, %eax
	pushl	%eax
	fnstcw	(%esp)
	popl	%eax
	ret

	.globl	_RecorderStatusWord
_RecorderStatusWord:
	xorl	%eax, %eax
	fnstsw	%ax
	ret

/* Only where the processor has SSE: elsewhere it is an illegal instruction. */
	.globl	_RecorderMxcsr
_RecorderMxcsr:
	pushl	$0
	stmxcsr	(%esp)
	popl	%eax
	ret
