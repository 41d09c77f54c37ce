-- A measurement flume without throat width.
-- expect: H71
-- level: 2
UPDATE tbl_rvldaten SET HVE_BU = NULL WHERE bez = 'M1';
