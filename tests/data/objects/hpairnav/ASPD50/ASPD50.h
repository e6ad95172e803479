* This Header file has been automaticaly
* including:
*    ASPDMNU.s
*    CMACH.s
*    CSAT.s
*    TASMS.s
*    CTAT.s
*    ASPDFRM.s
*    ASPDform.s

ASSEMBLEM DC RomId 328 !RPL
xROMID 328

* entries of the file ASPDMNU.s
EXTERNAL xASPDMNU

* entries of the file CMACH.s
EXTERNAL CMACH

* entries of the file CSAT.s
EXTERNAL CSAT

* entries of the file TASMS.s
EXTERNAL TASMS

* entries of the file CTAT.s
EXTERNAL CTAT

* entries of the file ASPDFRM.s
EXTERNAL xASPDFRM

* entries of the file ASPDform.s
EXTERNAL ASPDform

