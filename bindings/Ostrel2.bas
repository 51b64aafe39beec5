Attribute VB_Name = "Ostrel2"
' Ostrel2.bas -- declarations of the Ostrel2.dll exports for spreadsheet macros, and conversions
' between decimal text and LongNumber records.
'
' Every function but Version_XL takes the result record first, then its argument records, fills
' the result record whole and returns its address. A failure sets the result's error field to a
' negative value. Put Ostrel2.dll (the 32-bit or the 64-bit build, matching the Office
' installation) beside the workbook or on the DLL search path.
Option Explicit

Public Const OSTREL2_MAX_PRECISION As Long = 303
Public Const OSTREL2_LIMB_SLOTS As Long = 306
Public Const OSTREL2_ZERO_EXPONENT As Long = -2100000000

' 2,464 bytes, laid out as the library's record: four Longs, then 306 limbs of ten decimal
' digits each, most significant first.
Public Type LongNumber
    sign As Long
    exponent As Long
    precision As Long
    error As Long
    limbs(0 To 305) As Double
End Type

#If VBA7 Then
    Public Declare PtrSafe Function Version_XL Lib "Ostrel2.dll" () As Long
    Public Declare PtrSafe Function Abs_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Fix_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Round_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Mod_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As LongPtr
    Public Declare PtrSafe Function Add_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As LongPtr
    Public Declare PtrSafe Function Subtract_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As LongPtr
    Public Declare PtrSafe Function Multipl2_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As LongPtr
    Public Declare PtrSafe Function Multipl_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As LongPtr
    Public Declare PtrSafe Function Div2_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As LongPtr
    Public Declare PtrSafe Function Div_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As LongPtr
    Public Declare PtrSafe Function Sqr_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Power_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByVal n As Double) As LongPtr
    Public Declare PtrSafe Function PowerX_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As LongPtr
    Public Declare PtrSafe Function Root_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByVal n As Double) As LongPtr
    Public Declare PtrSafe Function Pai_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByVal precision As Long) As LongPtr
    Public Declare PtrSafe Function Cos_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Sin_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Tan_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Asn_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Acs_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Atn_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Exp_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Loge_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Log10_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Sinh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Cosh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Tanh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Asinh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Acosh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Atanh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As LongPtr
    Public Declare PtrSafe Function Factorial_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByVal n As Long, ByVal precision As Long) As LongPtr
    Public Declare PtrSafe Function LCM_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As LongPtr
#Else
    Public Declare Function Version_XL Lib "Ostrel2.dll" () As Long
    Public Declare Function Abs_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Fix_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Round_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Mod_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As Long
    Public Declare Function Add_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As Long
    Public Declare Function Subtract_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As Long
    Public Declare Function Multipl2_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As Long
    Public Declare Function Multipl_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As Long
    Public Declare Function Div2_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As Long
    Public Declare Function Div_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As Long
    Public Declare Function Sqr_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Power_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByVal n As Double) As Long
    Public Declare Function PowerX_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As Long
    Public Declare Function Root_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByVal n As Double) As Long
    Public Declare Function Pai_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByVal precision As Long) As Long
    Public Declare Function Cos_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Sin_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Tan_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Asn_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Acs_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Atn_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Exp_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Loge_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Log10_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Sinh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Cosh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Tanh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Asinh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Acosh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Atanh_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber) As Long
    Public Declare Function Factorial_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByVal n As Long, ByVal precision As Long) As Long
    Public Declare Function LCM_XL Lib "Ostrel2.dll" (ByRef result As LongNumber, ByRef x As LongNumber, ByRef y As LongNumber) As Long
#End If

' Largest whole number not above v, for the exponent arithmetic below.
Private Function FloorDiv10(ByVal v As Long) As Long
    FloorDiv10 = Int(v / 10)
End Function

' A record of the given precision (1 to 303) from decimal text such as "-123.456", "1E-20" or
' "0.5e+3". Digits beyond the record's precision + 3 limbs are cut off. Text that is not a number
' gives a record whose error field is -1.
Public Function LongFromText(ByVal text As String, ByVal precision As Long) As LongNumber
    Dim r As LongNumber, digits As String, ch As String
    Dim i As Long, pos As Long, lowWeight As Long, topWeight As Long, e0 As Long
    Dim k As Long, w As Long, exponentPart As Long, afterPoint As Long
    Dim seenPoint As Boolean, seenDigit As Boolean, negative As Boolean

    r.precision = precision
    text = Trim$(text)
    pos = 1
    If Left$(text, 1) = "-" Or Left$(text, 1) = "+" Then
        negative = (Left$(text, 1) = "-")
        pos = 2
    End If
    For i = pos To Len(text)
        ch = Mid$(text, i, 1)
        If ch >= "0" And ch <= "9" Then
            seenDigit = True
            If Len(digits) > 0 Or ch <> "0" Then digits = digits & ch
            If seenPoint Then afterPoint = afterPoint + 1
        ElseIf ch = "." And Not seenPoint Then
            seenPoint = True
        ElseIf (ch = "E" Or ch = "e") And seenDigit Then
            If Not IsNumeric(Mid$(text, i + 1)) Then Exit For
            exponentPart = CLng(Mid$(text, i + 1))
            i = Len(text) + 1
            Exit For
        Else
            Exit For
        End If
    Next i
    If Not seenDigit Or i <= Len(text) Then
        r.sign = 0: r.exponent = OSTREL2_ZERO_EXPONENT: r.error = -1
        LongFromText = r
        Exit Function
    End If
    If Len(digits) = 0 Then
        r.sign = 0: r.exponent = OSTREL2_ZERO_EXPONENT
        LongFromText = r
        Exit Function
    End If

    ' digits(j) weighs 10^(lowWeight + Len(digits) - j); limb 0's units digit weighs 10^e0.
    lowWeight = exponentPart - afterPoint
    topWeight = lowWeight + Len(digits) - 1
    e0 = 10 * FloorDiv10(topWeight)
    r.sign = IIf(negative, -1, 1)
    r.exponent = e0
    For i = 1 To Len(digits)
        w = topWeight - (i - 1)
        k = (e0 + 9 - w) \ 10
        If k > precision + 3 Or k > OSTREL2_LIMB_SLOTS - 1 Then Exit For
        r.limbs(k) = r.limbs(k) + CDbl(Mid$(digits, i, 1)) * 10 ^ (w - (e0 - 10 * k))
    Next i
    LongFromText = r
End Function

' Decimal text of a record: plain notation for moderate exponents, otherwise d.dddE+n. A record
' with a negative error field gives "#ERROR" and the error value.
Public Function LongToText(x As LongNumber) As String
    Dim s As String, k As Long, last As Long, lowWeight As Long, topWeight As Long, body As String

    If x.error < 0 Then
        LongToText = "#ERROR" & CStr(x.error)
        Exit Function
    End If
    If x.sign = 0 Then
        LongToText = "0"
        Exit Function
    End If
    last = x.precision + 3
    If last > OSTREL2_LIMB_SLOTS - 1 Then last = OSTREL2_LIMB_SLOTS - 1
    s = Format$(x.limbs(0), "0")
    For k = 1 To last
        s = s & Format$(x.limbs(k), "0000000000")
    Next k
    lowWeight = x.exponent - 10 * last
    Do While Len(s) > 1 And Right$(s, 1) = "0"
        s = Left$(s, Len(s) - 1)
        lowWeight = lowWeight + 1
    Loop
    Do While Len(s) > 1 And Left$(s, 1) = "0"
        s = Mid$(s, 2)
    Loop
    topWeight = lowWeight + Len(s) - 1
    If topWeight > 40 Or topWeight < -40 Then
        body = Left$(s, 1)
        If Len(s) > 1 Then body = body & "." & Mid$(s, 2)
        body = body & "E" & IIf(topWeight >= 0, "+", "") & CStr(topWeight)
    ElseIf lowWeight >= 0 Then
        body = s & String$(lowWeight, "0")
    ElseIf Len(s) > -lowWeight Then
        body = Left$(s, Len(s) + lowWeight) & "." & Right$(s, -lowWeight)
    Else
        body = "0." & String$(-lowWeight - Len(s), "0") & s
    End If
    LongToText = IIf(x.sign < 0, "-", "") & body
End Function

' Example: the sum of two decimal numbers at precision p, as text.
Public Function LongAddText(ByVal a As String, ByVal b As String, ByVal p As Long) As String
    Dim x As LongNumber, y As LongNumber, r As LongNumber
    x = LongFromText(a, p)
    y = LongFromText(b, p)
    Add_XL r, x, y
    LongAddText = LongToText(r)
End Function
