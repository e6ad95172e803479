RPL 

::
	 MenuMaker
	 ::
	   ' ::
								"A"
	       MakeInvLabel
	     ;
	     LabelDef!
	     ' ::
	         ' ID A
	         STO
	         "A"
	         MakeStdLabel
	       ;
	       MenuKeyNS!
	 ;
	 { ID A }
	 InitMenu
;
