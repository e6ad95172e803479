RPL 

INCLUDE INFTEST.h
NULLNAME TSTHND
::
		DUPTYPEREAL? case ::
		  "ft" umEND
		  BINT3 EXTN
		;	
;
